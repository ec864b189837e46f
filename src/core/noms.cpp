#include "core/noms.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace tarvik::core {

namespace {

// The length of the UTF-8 sequence at the start of `o`, or 0 when it is not
// one (overlong forms, surrogates and values past U+10FFFF included).
int sequenceUtf8(const unsigned char *o, qsizetype reste, char32_t &point)
{
    const unsigned char c = o[0];
    int longueur = 0;
    char32_t minimum = 0;
    if (c < 0x80) {
        point = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        longueur = 2, minimum = 0x80, point = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        longueur = 3, minimum = 0x800, point = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        longueur = 4, minimum = 0x10000, point = c & 0x07;
    } else {
        return 0;
    }
    if (reste < longueur)
        return 0;
    for (int k = 1; k < longueur; ++k) {
        if ((o[k] & 0xC0) != 0x80)
            return 0;
        point = (point << 6) | (o[k] & 0x3F);
    }
    const bool substitut = point >= 0xD800 && point <= 0xDFFF;
    return point < minimum || point > 0x10FFFF || substitut ? 0 : longueur;
}

bool octetEchappe(QChar c)
{
    return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF;
}

} // namespace

QString NomLocal(QByteArrayView octets)
{
    // A byte order mark stays a character: a name, a line of a file, is
    // never read as other than its bytes say.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    if (QString nom = utf8.decode(octets); !utf8.hasError())
        return nom; // the common case
    QString nom;
    nom.reserve(octets.size());
    const auto *o = reinterpret_cast<const unsigned char *>(octets.data());
    for (qsizetype k = 0; k < octets.size();) {
        char32_t point = 0;
        if (const int n = sequenceUtf8(o + k, octets.size() - k, point)) {
            nom += QChar::fromUcs4(point); // U+FEFF too, which fromUcs4 would drop
            k += n;
        } else {
            nom += QChar(char16_t(0xDC00 + o[k++]));
        }
    }
    return nom;
}

QByteArray OctetsLocaux(QStringView nom)
{
    if (std::none_of(nom.begin(), nom.end(), octetEchappe))
        return nom.toUtf8(); // the common case; a lone surrogate gives U+FFFD there too
    QByteArray octets;
    octets.reserve(nom.size());
    for (qsizetype k = 0; k < nom.size(); ++k) {
        const QChar c = nom[k];
        if (octetEchappe(c)) {
            octets += char(c.unicode() - 0xDC00);
            continue;
        }
        // A lone surrogate that no name can hold becomes U+FFFD.
        const bool paire = c.isHighSurrogate() && k + 1 < nom.size() && nom[k + 1].isLowSurrogate();
        if (paire)
            octets += nom.mid(k++, 2).toUtf8();
        else
            octets += c.isSurrogate() ? QByteArray("\xEF\xBF\xBD") : nom.mid(k, 1).toUtf8();
    }
    return octets;
}

QString NomLisible(QStringView nom)
{
    QString lisible;
    for (QChar c : nom)
        lisible += octetEchappe(c)
                       ? QStringLiteral("\\x%1").arg(c.unicode() - 0xDC00, 2, 16, QChar(u'0'))
                       : QString(c);
    return lisible;
}

QString PourLeShell(const QString &mot)
{
    static const QRegularExpression simple(QStringLiteral("^[A-Za-z0-9_./,=:+@%-]+$"));
    if (simple.match(mot).hasMatch())
        return mot;
    return u'\'' + QString(mot).replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

} // namespace tarvik::core
