// The one place that shows messages to the operator. Tests put their own
// display in its place, so that no dialog ever blocks them.
#pragma once

#include <QString>
#include <functional>

class QWidget;

enum class GenreMessage { Erreur, Information };

using Afficheur = std::function<void(QWidget *parent, GenreMessage genre, const QString &titre,
                                     const QString &texte)>;

// Shows a modal message (a QMessageBox unless another display was set).
void Afficher(QWidget *parent, GenreMessage genre, const QString &titre, const QString &texte);

// Sets the display used from now on and returns the previous one; an empty
// one goes back to the message boxes.
Afficheur RemplacerAfficheur(Afficheur afficheur);

enum class ModeFichier { Ouvrir, Enregistrer };

using ChoixFichier = std::function<QString(QWidget *parent, ModeFichier mode, const QString &titre,
                                           const QString &filtre, const QString &suffixe)>;

// Asks for a file to open or to save (a file dialog unless another chooser
// was set); an empty text when the operator cancels. A name saved without a
// suffix receives `suffixe`.
QString ChoisirFichier(QWidget *parent, ModeFichier mode, const QString &titre,
                       const QString &filtre, const QString &suffixe = {});

// Sets the chooser used from now on and returns the previous one.
ChoixFichier RemplacerChoixFichier(ChoixFichier choix);
