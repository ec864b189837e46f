#include "window/dialogues.h"

#include <QMessageBox>

namespace {

Afficheur &afficheurCourant()
{
    static Afficheur afficheur;
    return afficheur;
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
