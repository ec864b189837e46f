// The system's facts in words: its errors, reading and writing files,
// appending records, a private folder, and the settings and limits files.
#include "app/formulation.h"

#include "core/noms.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <sys/stat.h>

namespace tarvik::app {

namespace {

// The texts of this file, in the operator's language, each in the context
// its texts have always had.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Systeme)
};
struct MotsReglages {
    Q_DECLARE_TR_FUNCTIONS(Reglages)
};
struct MotsLimites {
    Q_DECLARE_TR_FUNCTIONS(Limites)
};

struct Traduction {
    int code;
    const char *texte;
};
const Traduction Traductions[] = {
    {ENOSPC, QT_TRANSLATE_NOOP("Systeme", "plus de place sur le disque")},
    {EDQUOT, QT_TRANSLATE_NOOP("Systeme", "quota d'espace disque dépassé")},
    {EROFS, QT_TRANSLATE_NOOP("Systeme", "système de fichiers en lecture seule")},
    {EACCES, QT_TRANSLATE_NOOP("Systeme", "permission refusée")},
    {EPERM, QT_TRANSLATE_NOOP("Systeme", "permission refusée")},
    {EIO, QT_TRANSLATE_NOOP("Systeme", "erreur d'entrée-sortie")},
    {ENODEV, QT_TRANSLATE_NOOP("Systeme", "périphérique absent")},
    {ENXIO, QT_TRANSLATE_NOOP("Systeme", "périphérique absent")},
    {ENOENT, QT_TRANSLATE_NOOP("Systeme", "fichier ou dossier absent")},
    {ENOTDIR, QT_TRANSLATE_NOOP("Systeme", "un élément du chemin n'est pas un dossier")},
    {EISDIR, QT_TRANSLATE_NOOP("Systeme", "c'est un dossier")},
    {EBUSY, QT_TRANSLATE_NOOP("Systeme", "périphérique occupé")},
    {ELOOP, QT_TRANSLATE_NOOP("Systeme", "lien symbolique refusé")},
    {EFBIG, QT_TRANSLATE_NOOP("Systeme", "fichier trop gros")},
    {ENOTTY, QT_TRANSLATE_NOOP("Systeme", "ce n'est pas un terminal")},
    {ENAMETOOLONG, QT_TRANSLATE_NOOP("Systeme", "nom trop long")},
    {EAGAIN, QT_TRANSLATE_NOOP("Systeme", "ressource momentanément indisponible")},
    {EMFILE, QT_TRANSLATE_NOOP("Systeme", "trop de fichiers ouverts")},
    {ENFILE, QT_TRANSLATE_NOOP("Systeme", "trop de fichiers ouverts")},
    {ENOMEM, QT_TRANSLATE_NOOP("Systeme", "mémoire insuffisante")},
    {EEXIST, QT_TRANSLATE_NOOP("Systeme", "le fichier existe déjà")},
    {EINVAL, QT_TRANSLATE_NOOP("Systeme", "opération refusée par le périphérique")},
    {EPIPE, QT_TRANSLATE_NOOP("Systeme", "le lecteur du tube est parti")},
    {EBADF, QT_TRANSLATE_NOOP("Systeme", "descripteur fermé")},
};

// "lecture impossible (permission refusée)"
QString avecErreur(const QString &quoi, int erreur)
{
    return Mots::tr("%1 (%2)").arg(quoi, TexteErreurSysteme(erreur));
}

// The groups of users besides root who may change a file of this mode,
// in words; empty when none may.
QString quiPeutModifier(quint32 mode)
{
    const bool groupe = mode & S_IWGRP, autres = mode & S_IWOTH;
    return groupe && autres ? MotsLimites::tr("son groupe et tous les autres peuvent le modifier")
           : groupe         ? MotsLimites::tr("son groupe peut le modifier")
           : autres         ? MotsLimites::tr("tous les autres peuvent le modifier")
                            : QString();
}

QString enOctal(quint32 mode)
{
    return QStringLiteral("%1").arg(mode, 4, 8, QChar(u'0'));
}

// Why a machine limits file, or what stands on its way, is doubtful.
QString pourquoiDouteux(const EchecProtection &echec)
{
    using G = EchecProtection::Genre;
    const QString corriger = MotsLimites::tr("Pour le protéger : « %1 »").arg(echec.commandes);
    const QString chemin = NomLisible(echec.chemin);
    switch (echec.genre) {
    case G::FichierAUnAutre:
        return MotsLimites::tr("il appartient à l'utilisateur n° %1 et non à root (mode %2) : "
                               "cet utilisateur peut le changer. %3")
            .arg(echec.proprietaire)
            .arg(enOctal(echec.mode), corriger);
    case G::FichierModifiable:
        return MotsLimites::tr("il appartient bien à root, mais %1 (mode %2), alors que seul "
                               "root doit pouvoir le modifier. %3")
            .arg(quiPeutModifier(echec.mode), enOctal(echec.mode), corriger);
    case G::DossierAUnAutre:
        return MotsLimites::tr("le dossier « %1 », sur son chemin, appartient à l'utilisateur "
                               "n° %2 (mode %3) : chaque dossier jusqu'au fichier doit "
                               "appartenir à root. %4")
            .arg(chemin)
            .arg(echec.proprietaire)
            .arg(enOctal(echec.mode), corriger);
    case G::DossierModifiable:
        return MotsLimites::tr("le dossier « %1 », sur son chemin, n'est pas protégé : %2 "
                               "(mode %3), et seul root doit pouvoir le modifier. %4")
            .arg(chemin, quiPeutModifier(echec.mode), enOctal(echec.mode), corriger);
    case G::PartieAUnAutre:
        return MotsLimites::tr("« %1 » appartient à l'utilisateur n° %2, dans un dossier ouvert "
                               "à tous : lui seul, ou root, peut l'y remplacer. Pour le "
                               "protéger : « %3 »")
            .arg(chemin)
            .arg(echec.proprietaire)
            .arg(echec.commandes);
    case G::Inexaminable:
        return MotsLimites::tr("« %1 » ne peut pas être examiné (%2)")
            .arg(chemin, TexteErreurSysteme(echec.erreur));
    case G::LienVersRien:
        return MotsLimites::tr("le lien « %1 » ne mène à rien").arg(chemin);
    case G::LienNonSuivi:
        return MotsLimites::tr("le lien « %1 » ne peut pas être suivi").arg(chemin);
    case G::PasUnDossier:
        break;
    }
    return MotsLimites::tr("« %1 » n'est pas un dossier").arg(chemin);
}

} // namespace

QString TexteErreurSysteme(int erreur)
{
    const auto trouvee = std::find_if(std::begin(Traductions), std::end(Traductions),
                                      [erreur](const Traduction &t) { return t.code == erreur; });
    if (trouvee != std::end(Traductions))
        return QCoreApplication::translate("Systeme", trouvee->texte);
    // Never the C library's English text.
    const char *nom = strerrorname_np(erreur);
    return QCoreApplication::translate("Systeme", "erreur système %1 (%2)")
        .arg(erreur)
        .arg(QLatin1String(nom ? nom : "?"));
}

QString Formuler(const EchecLecture &echec)
{
    using G = EchecLecture::Genre;
    switch (echec.genre) {
    case G::Absent:
        return Mots::tr("le fichier n'existe pas");
    case G::Impossible:
        break;
    case G::PasOrdinaire:
        return Mots::tr("ce n'est pas un fichier ordinaire");
    case G::Interrompue:
        return Mots::tr("lecture interrompue");
    case G::TropGros:
        return echec.taille % 1024 == 0
                   ? Mots::tr("le fichier dépasse %1 Kio").arg(echec.taille / 1024)
                   : Mots::tr("le fichier dépasse %1 octets").arg(echec.taille);
    case G::LienSansCible:
        return MotsReglages::tr("c'est un lien qui ne mène à aucun fichier");
    }
    return Mots::tr("lecture impossible (%1)").arg(TexteErreurSysteme(echec.erreur));
}

QString Formuler(const EchecEcriture &echec)
{
    using G = EchecEcriture::Genre;
    switch (echec.genre) {
    case G::Impossible:
        break;
    case G::LienSansCible:
        return Mots::tr("le lien ne mène à aucun fichier");
    case G::PasOrdinaire:
        return Mots::tr("ce n'est pas un fichier ordinaire (dossier, tube ou "
                        "périphérique) : il n'est pas remplacé");
    }
    return TexteErreurSysteme(echec.erreur);
}

QString Formuler(const EchecAjout &echec)
{
    using G = EchecAjout::Genre;
    QString cause;
    switch (echec.genre) {
    case G::DossierImpossible:
        cause = avecErreur(Mots::tr("dossier impossible à créer"), echec.erreur);
        break;
    case G::OuvertureImpossible:
        cause = avecErreur(Mots::tr("ouverture impossible"), echec.erreur);
        break;
    case G::PasOrdinaire:
        cause = Mots::tr("ce n'est pas un fichier ordinaire (dossier, tube ou "
                         "lien) : il n'est pas touché");
        break;
    case G::VerrouImpossible:
        cause = avecErreur(Mots::tr("verrou impossible"), echec.erreur);
        break;
    case G::TenuAilleurs:
        cause =
            Mots::tr("un autre programme le tient depuis plus de %1 s").arg(AttenteTourMs / 1000);
        break;
    case G::EcritureImpossible:
        cause = avecErreur(Mots::tr("écriture impossible"), echec.erreur);
        break;
    case G::EcritureDechiree:
        cause = Mots::tr("écriture impossible (%1), et le début de l'enregistrement "
                         "est resté dans le fichier (%2)")
                    .arg(TexteErreurSysteme(echec.erreur), TexteErreurSysteme(echec.erreurRetrait));
        break;
    case G::RotationImpossible:
        return Mots::tr("enregistrement écrit, mais le fichier n'a pas pu devenir "
                        "« %1 » (%2) : il grandit au-delà de sa limite")
            .arg(NomLisible(echec.chemin), TexteErreurSysteme(echec.erreur));
    case G::ViderImpossible:
        return Mots::tr("enregistrement écrit, mais il n'a pas pu être vidé sur le "
                        "disque (%1)")
            .arg(TexteErreurSysteme(echec.erreur));
    }
    return Mots::tr("enregistrement non écrit, %1").arg(cause);
}

QString Formuler(const EchecDossierPrive &echec)
{
    using G = EchecDossierPrive::Genre;
    const QString nom = NomLisible(echec.chemin);
    switch (echec.genre) {
    case G::NonAbsolu:
        return Mots::tr("%1 n'est pas un chemin absolu").arg(nom);
    case G::CreationImpossible:
        return Mots::tr("%1 ne peut pas être créé (%2)").arg(nom, TexteErreurSysteme(echec.erreur));
    case G::OuvertureImpossible:
    case G::PasUnDossier:
        return Mots::tr("%1 ne peut pas être ouvert (%2)")
            .arg(nom, echec.genre == G::PasUnDossier
                          ? Mots::tr("ce n'est pas un dossier, ou c'est un lien")
                          : TexteErreurSysteme(echec.erreur));
    case G::LectureImpossible:
        return Mots::tr("%1 ne peut pas être lu (%2)").arg(nom, TexteErreurSysteme(echec.erreur));
    case G::AutreProprietaire:
        return Mots::tr("%1 appartient à un autre utilisateur (numéro %2)")
            .arg(nom)
            .arg(echec.proprietaire);
    case G::OuvertAuxAutres:
        break;
    }
    return Mots::tr("d'autres utilisateurs peuvent écrire dans %1 (droits %2)")
        .arg(nom)
        .arg(echec.mode, 4, 8, QChar(u'0'));
}

QString Formuler(const EchecFichierCles &echec)
{
    return std::visit([](const auto &raison) { return Formuler(raison); }, echec);
}

QString Formuler(const EchecEnregistrement &echec)
{
    using G = EchecEnregistrement::Genre;
    switch (echec.genre) {
    case G::DossierImpossible:
        return MotsReglages::tr("le dossier %1 ne peut pas être créé")
            .arg(NomLisible(echec.dossier));
    case G::MiseDeCoteImpossible:
        return MotsReglages::tr("le fichier illisible ne peut pas être mis de "
                                "côté (%1)")
            .arg(TexteErreurSysteme(echec.erreur));
    case G::Ecriture:
        break;
    case G::LimitesRefusees:
        return MotsLimites::tr("ces limites ne peuvent pas être enregistrées : %1")
            .arg(echec.cles ? Formuler(*echec.cles) : QString());
    }
    return echec.ecriture ? Formuler(*echec.ecriture) : QString();
}

QString Formuler(const FichierLimitesDouteux &douteux)
{
    const QString pourquoi = std::visit(
        [](const auto &raison) -> QString {
            if constexpr (std::is_same_v<std::decay_t<decltype(raison)>, EchecProtection>)
                return pourquoiDouteux(raison);
            else
                return Formuler(raison);
        },
        douteux.raison);
    const auto *protection = std::get_if<EchecProtection>(&douteux.raison);
    return (protection && protection->nonProtege()
                ? MotsLimites::tr("le fichier de limites « %1 » est douteux, car il n'est "
                                  "pas protégé : %2")
                : MotsLimites::tr("le fichier de limites « %1 » est douteux : %2"))
        .arg(NomLisible(douteux.chemin), pourquoi);
}

QString Formuler(const LimitesDouteuses &douteuses)
{
    QStringList raisons;
    for (const FichierLimitesDouteux &douteux : douteuses.fichiers)
        raisons << Formuler(douteux);
    return raisons.join(MotsLimites::tr(" ; ", "between two reasons"));
}

} // namespace tarvik::app
