// The image decoder behind "tessaro-cli dump": any file is decoded in both forms without harm.
// A file that is not 35328 bytes gives exit status 1; an image gives 0 exactly when its stored
// settings sum matches its bytes; the JSON form is valid JSON with the same verdict.

#include "Fuzz_Support.h"
#include "cli/Cli.h"
#include "image/Bank_Layout.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = Fuzz_Bytes(data, size);
    const QString path = Write_Fuzz_File(QStringLiteral("bank.bin"), bytes);

    int expected = 1;
    if (bytes.size() == static_cast<qsizetype>(Bank_Size)) {
        std::uint32_t sum = 0;
        for (std::uint32_t i = 0; i < Settings_Checksum_Offset; ++i)
            sum += static_cast<std::uint8_t>(bytes[Settings_Block_Offset + i]);
        const auto stored = qFromLittleEndian<std::uint32_t>(
            bytes.constData() + Settings_Block_Offset + Settings_Checksum_Offset);
        expected = stored == sum ? 0 : 1;
    }

    QString out;
    QString err;
    QTextStream out_stream(&out);
    QTextStream err_stream(&err);
    const int text_status = Verb_Dump({path}, {out_stream, err_stream});
    out_stream.flush();
    FUZZ_REQUIRE(
        text_status == expected,
        QStringLiteral("exit %1, expected %2\n%3").arg(text_status).arg(expected).arg(err));
    FUZZ_REQUIRE(out.startsWith(QStringLiteral("File: ") + path), out.left(200));

    out.clear();
    const int json_status = Verb_Dump({path, QStringLiteral("--json")}, {out_stream, err_stream});
    out_stream.flush();
    FUZZ_REQUIRE(json_status == expected, QString::number(json_status));
    QJsonParseError parse_error;
    const QJsonDocument json = QJsonDocument::fromJson(out.toUtf8(), &parse_error);
    FUZZ_REQUIRE(parse_error.error == QJsonParseError::NoError && json.isObject(),
                 parse_error.errorString() + QStringLiteral(" at ") +
                     QString::number(parse_error.offset));
    FUZZ_REQUIRE(json.object().value(QStringLiteral("is_bank_size")).toBool() ==
                     (bytes.size() == static_cast<qsizetype>(Bank_Size)),
                 out.left(200));
    if (bytes.size() == static_cast<qsizetype>(Bank_Size))
        FUZZ_REQUIRE(json.object()
                             .value(QStringLiteral("checksum"))
                             .toObject()
                             .value(QStringLiteral("matches"))
                             .toBool() == (expected == 0),
                     out.left(400));
    return 0;
}
