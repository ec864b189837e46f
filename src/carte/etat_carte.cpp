#include "carte/etat_carte.h"

#include "core/limites.h"

#include <QCoreApplication>

namespace tarvik::carte {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Carte)
};

int indice(char axe)
{
    return axe - 'A';
}

QByteArray chaineJson(const QByteArray &octets)
{
    QByteArray texte = "\"";
    for (const char octet : octets) {
        const auto u = static_cast<unsigned char>(octet);
        if (octet == '"' || octet == '\\')
            texte += '\\' + QByteArray(1, octet);
        else if (octet == '\n')
            texte += "\\n";
        else if (u >= 0x20 && u < 0x7f)
            texte += octet;
        else
            texte += "\\u00" + QByteArray::number(u, 16).rightJustified(2, '0');
    }
    return texte + '"';
}

QByteArray ouNull(bool present, const QByteArray &valeur)
{
    return present ? valeur : QByteArrayLiteral("null");
}

// ISO 8601, local time, with milliseconds and the offset from UTC:
// 2026-12-08T10:02:11.123+01:00.
QByteArray horodatage(const QDateTime &moment)
{
    const int ecart = moment.offsetFromUtc();
    return (moment.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")) +
            QStringLiteral("%1%2:%3")
                .arg(QChar(ecart < 0 ? u'-' : u'+'))
                .arg(std::abs(ecart) / 3600, 2, 10, QChar(u'0'))
                .arg(std::abs(ecart) % 3600 / 60, 2, 10, QChar(u'0')))
        .toLatin1();
}

QString signee(qint64 position)
{
    return position > 0 ? QStringLiteral("+%1").arg(position) : QString::number(position);
}

} // namespace

CoursesCarte CoursesDe(const Limites &machine)
{
    CoursesCarte courses{};
    for (int i = 0; i < AxesCarte && i < int(machine.axes.size()); ++i)
        if (const auto course = machine.axes[std::size_t(i)].course)
            courses[std::size_t(i)] = *course;
    return courses;
}

EvenementCarte EtatCarte::prendre(const LigneRecue &ligne, const QDateTime &temps)
{
    EvenementCarte evenement{++m_lignes, temps, ligne, std::nullopt, false};
    switch (ligne.genre) {
    case LigneRecue::Genre::Commande: {
        ++m_commandes;
        const auto i = std::size_t(indice(ligne.axe));
        m_positions[i] += ligne.mouvement();
        m_dernieres[i] = DerniereCommande{ligne.octets, temps};
        break;
    }
    case LigneRecue::Genre::LigneVide:
        ++m_vides;
        break;
    case LigneRecue::Genre::Anomalie:
        ++m_anomalies;
        break;
    }
    if (ligne.axe) {
        evenement.position = position(indice(ligne.axe));
        evenement.horsCourse = horsCourse(indice(ligne.axe));
    }
    return evenement;
}

bool EtatCarte::horsCourse(int i) const
{
    const auto limite = course(i);
    return limite && (position(i) > *limite || position(i) < -*limite);
}

QByteArray FormerJson(const EvenementCarte &e)
{
    const LigneRecue &l = e.ligne;
    const bool commande = l.genre == LigneRecue::Genre::Commande;
    const char *genre = commande                                  ? "commande"
                        : l.genre == LigneRecue::Genre::LigneVide ? "ligne_vide"
                                                                  : "anomalie";
    QByteArray json = "{\"ligne\":" + QByteArray::number(e.numero);
    json += ",\"temps\":\"" + horodatage(e.temps) + '"';
    json += ",\"octets\":" + chaineJson(l.octets);
    json += ",\"genre\":\"" + QByteArray(genre) + '"';
    json += ",\"axe\":" + ouNull(l.axe, chaineJson(QByteArray(1, l.axe)));
    json += ",\"direction\":" + ouNull(commande, chaineJson(QByteArray(1, l.direction)));
    json += ",\"pas\":" + ouNull(commande, QByteArray::number(l.pas));
    json += ",\"vitesse\":" + ouNull(commande, QByteArray::number(l.vitesse));
    json += ",\"position\":" +
            ouNull(e.position.has_value(), QByteArray::number(e.position.value_or(0)));
    json += ",\"hors_course\":" + QByteArray(e.horsCourse ? "true" : "false");
    json += ",\"anomalie\":" +
            ouNull(l.anomalie.has_value(),
                   '"' + (l.anomalie ? CodeAnomalie(*l.anomalie) : QString()).toLatin1() + '"');
    return json + "}\n";
}

QString ResumeCarte(const EtatCarte &etat)
{
    QStringList positions;
    for (int i = 0; i < AxesCarte; ++i)
        positions << QStringLiteral("%1 %2").arg(QChar(u'A' + i), signee(etat.position(i)));
    return Mots::tr("lignes reçues : %1, prises : %2, vides : %3, anomalies : %4 ; "
                    "positions : %5")
        .arg(etat.lignes())
        .arg(etat.commandes())
        .arg(etat.vides())
        .arg(etat.anomalies())
        .arg(positions.join(QStringLiteral(", ")));
}

} // namespace tarvik::carte
