#include "window/dialogues.h"

#include "system/noms.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace {

// Its texts are the panel's, where they were first written.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Form1)
};

// The folders of the files chosen in this session: by kind, and the last.
struct DossiersChoisis {
    QHash<QString, QString> parGenre;
    QString dernier;
};

DossiersChoisis &dossiersChoisis()
{
    static DossiersChoisis dossiers;
    return dossiers;
}

// A file's kind: the first pattern of its filter, "*.prog".
QString genreDe(const QString &filtre)
{
    static const QRegularExpression motif(QStringLiteral("\\(([^ )]*)"));
    return motif.match(filtre).captured(1);
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
    DossiersChoisis &dossiers = dossiersChoisis();
    const QString genre = genreDe(filtre);
    const QString dossier = dossiers.parGenre.value(genre, dossiers.dernier);
    const QString chemin = *ChoixDeFichier
                               ? (*ChoixDeFichier)(parent, mode, titre, filtre, suffixe, dossier)
                               : demanderFichier(parent, mode, titre, filtre, suffixe, dossier);
    if (!chemin.isEmpty())
        dossiers.parGenre[genre] = dossiers.dernier = QFileInfo(chemin).absolutePath();
    return chemin;
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
    Afficher(parent, GenreMessage::Erreur, titre,
             Textes::tr("Le fichier « %1 » n'a pas été ouvert.\n%2.\nRien n'a été changé.")
                 .arg(NomLisible(chemin), echec->message));
    return false;
}
