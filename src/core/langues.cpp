#include "core/langues.h"

#include <QCoreApplication>

namespace tarvik::core {

const QList<Langue> &Langues()
{
    static const QList<Langue> langues = {
        {QStringLiteral("fr"), QStringLiteral("Français"),
         QT_TRANSLATE_NOOP("Langues", "français")},
        {QStringLiteral("en"), QStringLiteral("English"), QT_TRANSLATE_NOOP("Langues", "anglais")},
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

QString NomsDeLangue(const Langue &langue)
{
    return QStringLiteral("%1 (%2)").arg(langue.nom,
                                         QCoreApplication::translate("Langues", langue.enFrancais));
}

} // namespace tarvik::core
