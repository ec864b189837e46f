#include "window/dialogues.h"

#include "system/noms.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

// Its texts are the panel's, where they were first written.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Form1)
};

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
             const QStringList &boutons)
{
    if (*Question)
        return (*Question)(parent, genre, titre, texte, boutons);
    QMessageBox boite(genre == GenreMessage::Erreur          ? QMessageBox::Critical
                      : genre == GenreMessage::Avertissement ? QMessageBox::Warning
                                                             : QMessageBox::Question,
                      titre, texte, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> choix;
    for (qsizetype k = 0; k < boutons.size(); ++k)
        choix << boite.addButton(boutons[k],
                                 k == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    boite.setDefaultButton(qobject_cast<QPushButton *>(choix.first()));
    boite.setEscapeButton(choix.last());
    boite.setWindowModality(Qt::WindowModal);
    boite.exec();
    return int(choix.indexOf(boite.clickedButton()));
}

QString ChoisirFichier(QWidget *parent, ModeFichier mode, const QString &titre,
                       const QString &filtre, const QString &suffixe)
{
    if (*ChoixDeFichier)
        return (*ChoixDeFichier)(parent, mode, titre, filtre, suffixe);
    QFileDialog dialogue(parent, titre, QString(), filtre);
    const bool enregistrer = mode == ModeFichier::Enregistrer;
    dialogue.setAcceptMode(enregistrer ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialogue.setFileMode(enregistrer ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialogue.setDefaultSuffix(suffixe);
    dialogue.setWindowModality(Qt::WindowModal);
    if (dialogue.exec() != QDialog::Accepted)
        return {};
    return dialogue.selectedFiles().value(0);
}

bool LireFichierChoisi(QWidget *parent, const QString &chemin, const QString &titre,
                       const std::function<std::optional<Echec>(const QByteArray &)> &analyser,
                       qsizetype taille)
{
    const FichierLu fichier = LireFichier(chemin, taille);
    std::optional<Echec> echec = fichier.echec;
    if (!echec)
        echec = analyser(fichier.contenu);
    if (!echec)
        return true;
    // Whether the file could not be read, or was read and refused.
    const QString texte = fichier.echec
                              ? Textes::tr("Le fichier « %1 » n'a pas pu être lu.\n%2.\n"
                                           "Rien n'a été changé.")
                              : Textes::tr("Le fichier « %1 » a été lu, mais refusé.\n%2.\n"
                                           "Rien n'a été changé.");
    Afficher(
        parent, GenreMessage::Erreur, titre,
        texte.arg(NomLisible(chemin), echec->message.front().toUpper() + echec->message.mid(1)));
    return false;
}
