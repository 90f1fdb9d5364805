#include "update/Ip_Address.h"

#include "platform/Int_Conv.h"
#include "platform/Text.h"

Split_IP Split_IP_Text(const QString& text) {
    Split_IP result;
    QString rest = Trim_Text(text);
    for (int i = 0; i < 3; ++i) {
        const qsizetype point = rest.indexOf(QLatin1Char('.'));
        if (point < 0)
            return result;
        result.parts[i] = Trim_Text(rest.left(point));
        rest = Trim_Text(rest.mid(point + 1));
    }
    result.parts[3] = rest;
    result.ok = true;
    for (const QString& part : result.parts) {
        const int value = To_Int(part, 1000);
        if (value < 0 || value > 255)
            result.ok = false;
    }
    return result;
}
