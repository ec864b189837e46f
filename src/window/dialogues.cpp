#include "window/dialogues.h"

#include "app/formulation.h"
#include "system/fichier_reglages.h"
#include "system/noms.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace tarvik::window {

namespace {

// Its texts are the panel's, where they were first written.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Form1)
};

// The folder the file dialogs open in: the settings' at start, then the
// last one used.
QString &dossierFichiers()
{
    static QString dossier;
    return dossier;
}

// Keeps `dossier` for the next start, in a settings file that is
// understood: one that is not stays as it is, for the operator to see.
// Whether it is kept. A convenience: where the settings cannot keep it (not
// understood, not writable, a path they cannot hold), it serves this
// session, and nothing is said; a port or a language that cannot be saved
// is said where it is chosen.
bool garderDossier(const QString &dossier)
{
    if (VerifierChemin(dossier) || LireReglages().echec)
        return false;
    return !EcrireReglages([&](Reglages &reglages) { reglages.dossier = dossier; }).echec;
}

QString demanderFichier(QWidget *parent, ModeFichier mode, const QString &titre,
                        const QString &filtre, const QString &suffixe, const QString &dossier)
{
    QFileDialog dialogue(parent, titre, dossier, filtre);
    const bool enregistrer = mode == ModeFichier::Enregistrer;
    dialogue.setAcceptMode(enregistrer ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialogue.setFileMode(enregistrer ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialogue.setDefaultSuffix(suffixe);
    dialogue.setWindowModality(Qt::WindowModal);
    if (dialogue.exec() != QDialog::Accepted)
        return {};
    return dialogue.selectedFiles().value(0);
}

} // namespace

void Afficher(QWidget *parent, GenreMessage genre, const QString &titre, const QString &texte)
{
    if (*Affichage) {
        (*Affichage)(parent, genre, titre, texte);
        return;
    }
    if (genre == GenreMessage::Avertissement) {
        auto *boite = new QMessageBox(QMessageBox::Warning, titre, texte, QMessageBox::Ok, parent);
        boite->setAttribute(Qt::WA_DeleteOnClose);
        boite->setModal(false);
        boite->show();
        return;
    }
    QMessageBox boite(genre == GenreMessage::Erreur ? QMessageBox::Critical
                                                    : QMessageBox::Information,
                      titre, texte, QMessageBox::Ok, parent);
    boite.setWindowModality(Qt::WindowModal);
    boite.exec();
}

int Demander(QWidget *parent, GenreMessage genre, const QString &titre, const QString &texte,
             const QStringList &boutons, int entree, int echap)
{
    if (echap < 0)
        echap = int(boutons.size() - 1);
    if (*Question)
        return (*Question)(parent, genre, titre, texte, boutons, entree, echap);
    QMessageBox boite(genre == GenreMessage::Erreur          ? QMessageBox::Critical
                      : genre == GenreMessage::Avertissement ? QMessageBox::Warning
                                                             : QMessageBox::Question,
                      titre, texte, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> choix;
    for (qsizetype k = 0; k < boutons.size(); ++k)
        choix << boite.addButton(boutons[k],
                                 k == echap ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    boite.setDefaultButton(qobject_cast<QPushButton *>(choix.value(entree)));
    boite.setEscapeButton(choix.value(echap));
    boite.setWindowModality(Qt::WindowModal);
    boite.exec();
    return int(choix.indexOf(boite.clickedButton()));
}

void RetenirDossierFichiers(const QString &dossier)
{
    dossierFichiers() = dossier;
}

QString ChoisirFichier(QWidget *parent, ModeFichier mode, const QString &titre,
                       const QString &filtre, const QString &suffixe)
{
    QString &tenu = dossierFichiers();
    const QString chemin = *ChoixDeFichier
                               ? (*ChoixDeFichier)(parent, mode, titre, filtre, suffixe, tenu)
                               : demanderFichier(parent, mode, titre, filtre, suffixe, tenu);
    const QString dossier = QFileInfo(chemin).absolutePath();
    if (!chemin.isEmpty() && dossier != tenu)
        garderDossier(tenu = dossier); // kept or not, it serves this session
    return chemin;
}

bool LireFichierChoisi(QWidget *parent, const QString &chemin, const QString &titre,
                       const std::function<std::optional<QString>(const QByteArray &)> &analyser,
                       qsizetype taille)
{
    const FichierLu fichier = LireFichier(chemin, taille);
    std::optional<QString> echec;
    if (fichier.echec)
        echec = Formuler(*fichier.echec);
    else
        echec = analyser(fichier.contenu);
    if (!echec)
        return true;
    // Whether the file could not be read, or was read and refused.
    const QString texte = fichier.echec ? Mots::tr("Le fichier « %1 » n'a pas pu être lu.\n%2.\n"
                                                   "Rien n'a été changé.")
                                        : Mots::tr("Le fichier « %1 » a été lu, mais refusé.\n%2.\n"
                                                   "Rien n'a été changé.");
    Afficher(parent, GenreMessage::Erreur, titre,
             texte.arg(NomLisible(chemin), echec->front().toUpper() + echec->mid(1)));
    return false;
}

} // namespace tarvik::window
