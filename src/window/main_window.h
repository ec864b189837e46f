// Form1, the program's only window: the axis grid, the TEST button, the list
// of the lines sent and the menu bar.
#pragma once

#include "sequence/envoyer_sequence.h"

#include <QMainWindow>
#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The grid's texts when the window opens.
inline const QString TexteInitialPas = QStringLiteral("00000");
inline const QString TexteInitialDirection = QStringLiteral("+");
inline const QString TexteInitialVitesse = QStringLiteral("002");
inline QString NomAxeInitial(int k)
{
    return QStringLiteral("Axe 0%1").arg(k);
}

class Form1 : public QMainWindow, public FenetreSequence {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    // What a sequence run reads and fills, by element number 1 to 7.
    QString Text1(int i) const override;
    QString Text2(int i) const override;
    QString Text3(int i) const override;
    void ViderList1() override;
    void AjouterList1(const QString &ligne) override;
    LienSerie &MSComm1() override { return m_MSComm1; }

    // The device given with --port, used until the window closes.
    void imposerPort(const QString &peripherique);

private:
    void creerControles(QWidget *zone);
    void creerMenus();
    void Command1_Click();
    void signalerEchec(const QString &titre, const EchecSequence &echec);
    void signalerAvertissements();
    void montrerPort(); // the device in use, on TEST's tooltip and description
    // What a screen reader says of row k's boxes: "Axe 03, Pas".
    void nommerRangee(int k, const QString &nom);
    QLineEdit *caseDe(Colonne colonne, int i) const;

    // The menu entries.
    void OuvrirSequence_Click();
    void EnregistrerSequence_Click();
    void EffacerSequenceActuelle_Click();
    void Quitter_Click() { close(); }
    void DesignAxe_Click();
    void ChoisirPort_Click();
    void CommentCreer_Click();
    void documentDeLaCarte(const QString &document);
    void Apropos_Click();

    std::array<QLabel *, 8> m_Label1{};
    std::array<QLineEdit *, 8> m_Text1{}, m_Text2{}, m_Text3{}; // elements 1 to 7
    QListWidget *m_List1 = nullptr;
    QPushButton *m_Command1 = nullptr;
    LienSerie m_MSComm1;

    QStringList m_avertis; // what the operator was told of the runs that went through
    int m_demandes = 0;    // clicks on TEST not yet served
    bool m_enCours = false;
};
