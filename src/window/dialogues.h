// The one place that shows messages to the operator. Tests put their own
// display in its place, so that no dialog ever blocks them.
#pragma once

#include "core/echec.h"
#include "system/lecture.h"
#include "system/substituable.h"
#include "window/couche.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace tarvik::window {

// An error or an information blocks the window until it is read; a warning
// does not, and never stands in the way of the next TEST.
enum class GenreMessage { Erreur, Information, Avertissement };

using Afficheur = std::function<void(QWidget *parent, GenreMessage genre, const QString &titre,
                                     const QString &texte)>;

// Shows a message: a QMessageBox, unless a test put its own display here.
inline Substituable<Afficheur> Affichage;
// Every dialog is modal to its own window only: the program's window, which
// stands apart from the panel's, stays usable (its Stop above all) while the
// panel shows one.
void Afficher(QWidget *parent, GenreMessage genre, const QString &titre, const QString &texte);

using Questionneur =
    std::function<int(QWidget *parent, GenreMessage genre, const QString &titre,
                      const QString &texte, const QStringList &boutons, int entree, int echap)>;

// Asks a question whose answers are `boutons`: the index of the one chosen.
// Entrée gives the one at `entree`, Échap (or closing the dialog) the one at
// `echap`, -1 for the last. A QMessageBox, unless a test put its own answers
// here (which it is given with both indexes).
inline Substituable<Questionneur> Question;
int Demander(QWidget *parent, GenreMessage genre, const QString &titre, const QString &texte,
             const QStringList &boutons, int entree = 0, int echap = -1);

enum class ModeFichier { Ouvrir, Enregistrer };

using ChoixFichier =
    std::function<QString(QWidget *parent, ModeFichier mode, const QString &titre,
                          const QString &filtre, const QString &suffixe, const QString &dossier)>;

// Asks for a file to open or to save: a file dialog, unless a test put its
// own chooser here. It opens in `dossier`: that of the file chosen last, in
// this session or before it (the settings keep it, key dossier), else the
// dialog's own. An empty text when the operator cancels; a name saved
// without a suffix receives `suffixe`.
inline Substituable<ChoixFichier> ChoixDeFichier;
// The folder the next file dialog opens in: the settings' at start.
void RetenirDossierFichiers(const QString &dossier);
QString ChoisirFichier(QWidget *parent, ModeFichier mode, const QString &titre,
                       const QString &filtre, const QString &suffixe = {});

// Reads the file at `chemin`, bounded to `taille` bytes and never blocking,
// and hands its bytes to `analyser`, which says why it refuses them, in
// words. When the file cannot be read or `analyser` refuses it, the operator
// is told why under `titre`, with the file named, and it is false.
bool LireFichierChoisi(QWidget *parent, const QString &chemin, const QString &titre,
                       const std::function<std::optional<QString>(const QByteArray &)> &analyser,
                       qsizetype taille = TailleMaxFichier);

} // namespace tarvik::window
