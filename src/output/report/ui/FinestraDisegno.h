#pragma once

// Our layout designer ("Edita report"): the report's columns with their
// titles, fields, widths, alignment, visibility and totals, in an order
// changed with "Su"/"Giù"; the text objects (title, notes, page number)
// with their lines, visibility, alignment and font; the list's font and
// the page's orientation. "Salva" writes the layout file it was opened on
// (beside it, then put in place); "Anteprima" prints the layout as it
// stands, when the opener can. Leaving with unsaved changes asks first.

#include "output/report/DisegnoLayout.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTableWidgetItem;

namespace vardof::output::report {

class FinestraDisegno : public QDialog
{
    Q_OBJECT
public:
    // The preview of the layout as it stands, shown over the designer.
    using Anteprima = std::function<void(QWidget *owner, const ModelloReport &modello)>;

    // `modello` is what `file` holds; the window saves to `file`.
    FinestraDisegno(QWidget *parent, const QString &file, const ModelloReport &modello, Anteprima anteprima = {});

    enum ColonnaTabella { Titolo, Campo, Larghezza, Allineamento, Visibile, Totale };

    QRadioButton *RadioVerticale, *RadioOrizzontale;
    QPushButton *ButtonFontElenco;
    QTableWidget *TabellaColonne;
    QPushButton *ButtonSu, *ButtonGiu;
    QListWidget *ListaTesti;
    QPlainTextEdit *EditRigheTesto;
    QCheckBox *CheckTestoVisibile;
    QComboBox *ComboAllineaTesto;
    QPushButton *ButtonFontTesto;
    QPushButton *ButtonAnteprima, *ButtonSalva, *ButtonChiudi;

    DisegnoLayout &disegno() { return m_disegno; }
    bool modificato() const { return m_modificato; }
    const QString &file() const { return m_file; }

    // Sets the alignment of column `k` as its combo box does.
    void impostaAllineamento(int k, int allinea);

public slots:
    // False (with the reason shown) when the file was not written.
    bool ButtonSalvaClick();
    void ButtonAnteprimaClick();
    void ButtonSuClick();
    void ButtonGiuClick();
    void ButtonFontElencoClick();
    void ButtonFontTestoClick();
    // Unsaved changes: "Salvare le modifiche al report?" Yes saves, No drops.
    void reject() override;

private:
    void riempiColonne();
    void riempiTesti();
    void mostraTesto();
    void cellaCambiata(QTableWidgetItem *item);
    void testoCambiato();
    void cambiato();

    QString m_file;
    DisegnoLayout m_disegno;
    Anteprima m_anteprima;
    bool m_modificato = false;
    bool m_riempiendo = false;
};

// Opens the designer on the layout in `file`; a file that is missing or
// not a layout is told. `esegui` replaces exec() in tests.
void ApriDisegno(QWidget *owner, const QString &file, FinestraDisegno::Anteprima anteprima = {},
                 const std::function<int(QDialog &)> &esegui = {});

} // namespace vardof::output::report
