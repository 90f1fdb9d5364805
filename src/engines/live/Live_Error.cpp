#include "live/Live_Error.h"

#include "lang/Lang_Table.h"

QString Exception_Name(int code, const Lang_Table& lang) {
    switch (code) {
    case 1:
        return lang[942];
    case 2:
        return lang[943];
    case 3:
        return lang[944];
    case 4:
        return lang[945];
    case 5:
        return lang[946];
    case 6:
        return lang[947];
    case 8:
        return lang[935];
    case 10:
        return lang[948];
    case 11:
        return lang[949];
    default:
        return {};
    }
}

QString Live_Error_Text(const Live_Error& error, const Lang_Table& lang) {
    switch (error.kind) {
    case Live_Error::Kind::None:
        return {};
    case Live_Error::Kind::Timeout:
        return lang[936].arg(error.code);
    case Live_Error::Kind::Refused:
        return lang[937];
    case Live_Error::Kind::Closed:
        return lang[938];
    case Live_Error::Kind::Connection:
        return lang[939].arg(error.detail);
    case Live_Error::Kind::Exception: {
        const QString name = Exception_Name(error.code, lang);
        const QString text = lang[940].arg(error.code);
        return name.isEmpty() ? text : text + QStringLiteral(" (") + name + QLatin1Char(')');
    }
    case Live_Error::Kind::Bad_Answer:
        return lang[941];
    }
    return {};
}

QString Live_Error_Key(Live_Error::Kind kind) {
    switch (kind) {
    case Live_Error::Kind::None:
        return {};
    case Live_Error::Kind::Timeout:
        return QStringLiteral("timeout");
    case Live_Error::Kind::Refused:
        return QStringLiteral("refused");
    case Live_Error::Kind::Closed:
        return QStringLiteral("closed");
    case Live_Error::Kind::Connection:
        return QStringLiteral("connection");
    case Live_Error::Kind::Exception:
        return QStringLiteral("exception");
    case Live_Error::Kind::Bad_Answer:
        return QStringLiteral("bad_answer");
    }
    return {};
}
