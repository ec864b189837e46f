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
