#include "window/dialogues.h"

#include <QFileDialog>
#include <QMessageBox>

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
    } else if (genre == GenreMessage::Erreur) {
        QMessageBox::critical(parent, titre, texte);
    } else {
        QMessageBox::information(parent, titre, texte);
    }
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
    if (dialogue.exec() != QDialog::Accepted)
        return {};
    return dialogue.selectedFiles().value(0);
}
