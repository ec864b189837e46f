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

private:
    void creerControles(QWidget *zone);
    void creerMenus();
    void Command1_Click();
    void signalerEchec(const EchecSequence &echec);
    QLineEdit *caseDe(Colonne colonne, int i) const;

    std::array<QLabel *, 8> m_Label1{};
    std::array<QLineEdit *, 8> m_Text1{}, m_Text2{}, m_Text3{}; // elements 1 to 7
    QListWidget *m_List1 = nullptr;
    QPushButton *m_Command1 = nullptr;
    LienSerie m_MSComm1;

    int m_demandes = 0; // clicks on TEST not yet served
    bool m_enCours = false;
};
