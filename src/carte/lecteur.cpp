#include "carte/lecteur.h"

#include <QCoreApplication>

namespace tarvik::carte {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Carte)
};

bool lettreDAxe(char octet)
{
    return octet >= 'A' && octet < 'A' + AxesCarte;
}

bool chiffre(char octet)
{
    return octet >= '0' && octet <= '9';
}

int nombre(const QByteArray &octets, int debut, int taille)
{
    int valeur = 0;
    for (int k = debut; k < debut + taille; ++k)
        valeur = valeur * 10 + (octets[k] - '0');
    return valeur;
}

} // namespace

LigneRecue JugerLigne(const QByteArray &octets, bool coupee)
{
    LigneRecue ligne;
    ligne.octets = octets;
    ligne.axe = !octets.isEmpty() && lettreDAxe(octets[0]) ? octets[0] : 0;
    const auto anomalie = [&](Anomalie quoi) {
        ligne.anomalie = quoi;
        return ligne;
    };
    for (const char octet : octets)
        if (static_cast<unsigned char>(octet) >= 0x80)
            return anomalie(Anomalie::HorsAscii);
    if (coupee)
        return anomalie(Anomalie::LigneCoupee);
    if (octets == "\n") {
        ligne.genre = LigneRecue::Genre::LigneVide;
        return ligne;
    }
    if (octets.size() != LongueurCommande)
        return anomalie(Anomalie::Longueur);
    if (!ligne.axe)
        return anomalie(Anomalie::AxeInconnu);
    if (octets[1] != '+' && octets[1] != '-')
        return anomalie(Anomalie::DirectionInconnue);
    for (int k = 2; k < 11; ++k)
        if (k == 7 ? octets[k] != ':' : !chiffre(octets[k]))
            return anomalie(Anomalie::Chiffres);
    const int vitesse = nombre(octets, 8, 3);
    if (vitesse > VitesseMaxCarte)
        return anomalie(Anomalie::Chiffres);
    ligne.genre = LigneRecue::Genre::Commande;
    ligne.direction = octets[1];
    ligne.pas = nombre(octets, 2, 5);
    ligne.vitesse = vitesse;
    return ligne;
}

std::optional<LigneRecue> LecteurCarte::ajouter(char octet)
{
    if (octet == '\n') {
        m_ligne += octet;
        return JugerLigne(std::exchange(m_ligne, {}), false);
    }
    if (lettreDAxe(octet) && !m_ligne.isEmpty()) {
        const QByteArray coupee = std::exchange(m_ligne, QByteArray(1, octet));
        return JugerLigne(coupee, true);
    }
    m_ligne += octet;
    if (m_ligne.size() >= LongueurMaxLigne)
        return JugerLigne(std::exchange(m_ligne, {}), false);
    return std::nullopt;
}

QString CodeAnomalie(Anomalie anomalie)
{
    switch (anomalie) {
    case Anomalie::HorsAscii:
        return QStringLiteral("hors_ascii");
    case Anomalie::LigneCoupee:
        return QStringLiteral("ligne_coupee");
    case Anomalie::Longueur:
        return QStringLiteral("longueur");
    case Anomalie::AxeInconnu:
        return QStringLiteral("axe_inconnu");
    case Anomalie::DirectionInconnue:
        return QStringLiteral("direction_inconnue");
    case Anomalie::Chiffres:
        break;
    }
    return QStringLiteral("chiffres");
}

QString DecrireAnomalie(Anomalie anomalie)
{
    switch (anomalie) {
    case Anomalie::HorsAscii:
        return Mots::tr("octet hors de l'ASCII");
    case Anomalie::LigneCoupee:
        return Mots::tr("ligne coupée : une lettre d'axe avant le saut de ligne");
    case Anomalie::Longueur:
        return Mots::tr("longueur fausse : le saut de ligne n'est pas le 12e octet");
    case Anomalie::AxeInconnu:
        return Mots::tr("lettre d'axe inconnue");
    case Anomalie::DirectionInconnue:
        return Mots::tr("direction inconnue : ni + ni -");
    case Anomalie::Chiffres:
        break;
    }
    return Mots::tr("chiffres faux : cinq chiffres, « : », trois chiffres (vitesse au plus "
                    "255)");
}

QString OctetsLisibles(const QByteArray &octets)
{
    QString texte;
    for (const char octet : octets) {
        const auto u = static_cast<unsigned char>(octet);
        if (octet == '\n')
            continue;
        if (u >= 0x20 && u < 0x7f)
            texte += QLatin1Char(octet);
        else
            texte += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    return texte;
}

} // namespace tarvik::carte
