#pragma once

// The print of a data grid: the grid's statement with the columns its
// stored layout shows (STOASP1), in their order and widths. The layout is
// written to a file of its own, named once at creation, and printed or
// designed by our engine; the file exists only while that runs, and goes
// with the object at the latest.

#include "output/report/LayoutLst.h"
#include "output/report/StampaReport.h"

#include <QDateTime>
#include <QString>

namespace vardof::db {
class Attachment;
}

namespace vardof::output::report {

class TQmtGridStampa
{
public:
    explicit TQmtGridStampa(const QDateTime &creazione = QDateTime::currentDateTime());
    ~TQmtGridStampa();
    TQmtGridStampa(const TQmtGridStampa &) = delete;
    TQmtGridStampa &operator=(const TQmtGridStampa &) = delete;

    int CodiceProgetto = 0;
    int CodiceSituazione = 0;
    int Utente = 0;
    QString NomeTitolo;
    QString TestoSQL;
    QString DirBin;
    db::Attachment *DatabaseImpostazioni = nullptr;
    OpzioniLayoutGriglia opzioni;

    // "StQmtGrid_" + yyyymmddhhnnsszzz + ".LST"
    const QString &nomeFileLayout() const { return m_nome; }
    // Below the bin folder's "report" folder, else beside the program.
    QString percorsoLayout() const;

    // The visible columns of the stored layout, in position order. Throws
    // db::Error with the server's message.
    std::vector<ColonnaGriglia> colonne() const;
    // Writes the layout file; false with the system's reason. Throws
    // db::Error when the column statement fails.
    bool ScriviLayout(QString *errore);
    // The command text the print module took.
    QString testoComando(bool anteprima) const;

private:
    QString m_nome;
};

// The grid's statement as a print source: every row, fields by name.
class SorgenteSql : public SorgenteStampa
{
public:
    SorgenteSql(db::Attachment &att, const QString &sql);
    ~SorgenteSql() override;
    bool apri(QString *errore) override;
    bool prossimo() override;
    std::optional<ValoreReport> campo(const QString &nome) const override;
    QStringList campiConTotale() const override { return {}; }

private:
    struct Impl;
    db::Attachment &m_att;
    QString m_sql;
    std::unique_ptr<Impl> d;
};

} // namespace vardof::output::report
