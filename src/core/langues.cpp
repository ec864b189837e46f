#include "core/langues.h"

namespace tarvik::core {

const QList<Langue> &Langues()
{
    static const QList<Langue> langues = {
        {QStringLiteral("fr"), QStringLiteral("Français")},
        {QStringLiteral("en"), QStringLiteral("English")},
    };
    return langues;
}

const Langue *LangueDeCode(const QString &code)
{
    for (const Langue &langue : Langues())
        if (langue.code == code)
            return &langue;
    return nullptr;
}

QString CodesDesLangues()
{
    QStringList codes;
    for (const Langue &langue : Langues())
        codes << langue.code;
    return codes.join(QStringLiteral(", "));
}

} // namespace tarvik::core
