#include "window/dialogues.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

Afficheur &afficheurCourant()
{
    static Afficheur afficheur;
    return afficheur;
}

ChoixFichier &choixCourant()
{
    static ChoixFichier choix;
    return choix;
}

} // namespace

void Afficher(QWidget *parent, GenreMessage genre, const QString &titre, const QString &texte)
{
    if (const Afficheur &afficheur = afficheurCourant()) {
        afficheur(parent, genre, titre, texte);
        return;
    }
    if (genre == GenreMessage::Erreur)
        QMessageBox::critical(parent, titre, texte);
    else
        QMessageBox::information(parent, titre, texte);
}

Afficheur RemplacerAfficheur(Afficheur afficheur)
{
    return std::exchange(afficheurCourant(), std::move(afficheur));
}

QString ChoisirFichier(QWidget *parent, ModeFichier mode, const QString &titre,
                       const QString &filtre, const QString &suffixe)
{
    if (const ChoixFichier &choix = choixCourant())
        return choix(parent, mode, titre, filtre, suffixe);
    QFileDialog dialogue(parent, titre, QString(), filtre);
    const bool enregistrer = mode == ModeFichier::Enregistrer;
    dialogue.setAcceptMode(enregistrer ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialogue.setFileMode(enregistrer ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialogue.setDefaultSuffix(suffixe);
    if (dialogue.exec() != QDialog::Accepted)
        return {};
    return dialogue.selectedFiles().value(0);
}

ChoixFichier RemplacerChoixFichier(ChoixFichier choix)
{
    return std::exchange(choixCourant(), std::move(choix));
}
