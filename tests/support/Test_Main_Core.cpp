#include <QCoreApplication>
#include <QLocale>
#include <clocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // A non-English locale, so that no conversion in the program may depend on it.
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
