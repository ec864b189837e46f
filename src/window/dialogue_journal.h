// The dialog of "Fichier › Journal des envois…": the latest records of the
// journal, read-only, newest at the bottom.
#pragma once

#include <QDialog>

class QPlainTextEdit;

class DialogueJournal : public QDialog {
    Q_OBJECT
public:
    // Reads the end of the journal now, bounded and without blocking.
    explicit DialogueJournal(QWidget *parent = nullptr);

    // What the journal's view shows.
    QString texte() const;

private:
    void copierSelection();

    QPlainTextEdit *m_texte;
};
