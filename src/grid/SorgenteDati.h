#pragma once

// What a data grid shows: a source of rows with named fields, opened and
// closed by its owner, with three handlers (before open, after open, before
// close) that the owner sets and the grid takes over and chains.
//
// SorgenteQuery is a statement on a connection. Opening it reads no row;
// fetchMore(n) reads the next n and keeps them packed (a few bytes a value),
// so the first screen of a million-row answer shows at once and memory
// follows what was scrolled to, not the size of the table.
// TabellaMemoria holds its rows in memory, with a record filter and a sort
// on field names.
//
// Failures: open() and fetchMore() of a statement throw db::Error with the
// server's message; the source is then closed.

#include "db/Column.h"
#include "db/PackedRows.h"
#include "db/ResultSet.h"
#include "db/Value.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace vardof::db { class Attachment; class Transaction; class Statement; }

namespace vardof::grid {

class SorgenteDati : public QObject
{
    Q_OBJECT
public:
    // The kinds the grid knows: 0 a statement it may rewrite, 1 a named table
    // with index definitions, 2 an in-memory table.
    enum Tipo { Query = 0, Tabella = 1, Memoria = 2 };

    using Gestore = std::function<void(SorgenteDati &)>;
    // Set by the owner; a grid bound to the source keeps them and installs
    // its own, which call them first.
    Gestore primaDellApertura;
    Gestore dopoLApertura;
    Gestore primaDellaChiusura;

    explicit SorgenteDati(QObject *parent = nullptr) : QObject(parent) {}
    ~SorgenteDati() override;

    virtual Tipo tipo() const = 0;

    // Runs the before-open handler, opens, runs the after-open handler.
    void open();
    // Runs the before-close handler when open, then closes.
    void close();
    bool isOpen() const { return m_aperta; }
    // Without handlers: what a grid does while it rewrites the source.
    void chiudiSenzaGestori() noexcept;

    virtual int columnCount() const = 0;
    virtual const db::Column &colonna(int i) const = 0;
    // The field's name as the result gives it (the alias).
    QString nomeCampo(int i) const;
    // RELATION.FIELD as the server describes the column; empty for
    // computed columns.
    QString origine(int i) const;
    int indiceCampo(const QString &nome) const; // case-insensitive, -1 when missing

    virtual int fetchedCount() const = 0;
    virtual bool atEnd() const = 0;
    // Reads up to `count` more rows; how many it added.
    virtual int fetchMore(int count) = 0;
    virtual db::FieldValue value(int row, int column) const = 0;

signals:
    void aperta();
    void chiusa();
    // Rows were added by someone else than the model (fetchAll of an export).
    void righeAggiunte();

protected:
    virtual void apri() = 0;
    virtual void chiudi() noexcept = 0;

private:
    bool m_aperta = false;
};

class SorgenteQuery : public SorgenteDati
{
    Q_OBJECT
public:
    explicit SorgenteQuery(QObject *parent = nullptr);
    ~SorgenteQuery() override;

    Tipo tipo() const override { return Query; }

    // The statement text, line by line; the grid adds its lines to it.
    QStringList &SQL() { return m_sql; }
    const QStringList &SQL() const { return m_sql; }
    QString testo() const { return m_sql.join(QLatin1Char('\n')); }
    void setTesto(const QString &testo) { m_sql = testo.split(QLatin1Char('\n')); }

    void attach(db::Attachment &att, db::Transaction &tra);
    // Values of the ":NAME" parameters of the text, bound at the next
    // opening (never written into the text). Without any the text is sent
    // exactly as written.
    void setParametri(std::vector<std::pair<QString, db::FieldValue>> parametri) { m_parametri = std::move(parametri); }
    const std::vector<std::pair<QString, db::FieldValue>> &parametri() const { return m_parametri; }
    db::Attachment *attachment() const { return m_att; }
    db::Transaction *transaction() const { return m_tra; }

    int columnCount() const override { return int(m_colonne.size()); }
    const db::Column &colonna(int i) const override { return m_colonne.at(size_t(i)); }
    int fetchedCount() const override { return m_righe.size(); }
    bool atEnd() const override { return m_fine; }
    int fetchMore(int count) override;
    void fetchAll();
    db::FieldValue value(int row, int column) const override;
    size_t byteRighe() const { return m_righe.bytes(); }

    // The result fields of a statement text, without running it.
    std::vector<db::Column> descrivi(const QString &testo) const;

protected:
    void apri() override;
    void chiudi() noexcept override;

private:
    QStringList m_sql;
    std::vector<std::pair<QString, db::FieldValue>> m_parametri;
    db::Attachment *m_att = nullptr;
    db::Transaction *m_tra = nullptr;
    std::unique_ptr<db::Statement> m_statement;
    db::ResultSet m_cursore;
    std::vector<db::Column> m_colonne;
    db::PackedRows m_righe;
    bool m_fine = true;
};

class TabellaMemoria : public SorgenteDati
{
    Q_OBJECT
public:
    explicit TabellaMemoria(QObject *parent = nullptr);
    Tipo tipo() const override { return Memoria; }

    void setColonne(std::vector<db::Column> colonne);
    void aggiungiRiga(std::vector<db::FieldValue> riga);
    void svuota();

    // A record filter over the stored rows (by their index); applied while on.
    void setFiltro(std::function<bool(const std::vector<db::FieldValue> &)> filtro) { m_filtro = std::move(filtro); }
    void setFiltroAttivo(bool attivo);
    bool filtroAttivo() const { return m_filtroAttivo; }
    // Sorts on the named fields (case-insensitive text); an empty list gives
    // the stored order back.
    void ordina(const QStringList &campi, bool decrescente);

    int columnCount() const override { return int(m_colonne.size()); }
    const db::Column &colonna(int i) const override { return m_colonne.at(size_t(i)); }
    int fetchedCount() const override { return isOpen() ? int(m_vista.size()) : 0; }
    bool atEnd() const override { return true; }
    int fetchMore(int) override { return 0; }
    db::FieldValue value(int row, int column) const override;

protected:
    void apri() override;
    void chiudi() noexcept override;

private:
    void ricostruisci();
    std::vector<db::Column> m_colonne;
    std::vector<std::vector<db::FieldValue>> m_righe;
    std::vector<int> m_vista;
    std::function<bool(const std::vector<db::FieldValue> &)> m_filtro;
    bool m_filtroAttivo = false;
    QStringList m_ordine;
    bool m_decrescente = false;
};

} // namespace vardof::grid
