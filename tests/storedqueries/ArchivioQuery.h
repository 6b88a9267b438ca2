#pragma once

// A registry to try the stored-query engines on: a fresh archive with the
// stored-query and classification tables, a CLIENTI table to question, and
// short ways to put stored queries in it and read them back.

#include "db/Statement.h"
#include "platform/RunFeedback.h"
#include "storedqueries/Classificazioni.h"
#include "storedqueries/RegistroQuery.h"
#include "storedqueries/StoredQueryTables.h"
#include "support/FbFixture.h"

#include <QFile>

#include <optional>
#include <vector>

namespace vardof::test {

struct RigaInt
{
    int c1;
    double c2;
    int numero;
    std::optional<QString> nome;
    std::optional<int> mostra;
    std::optional<QString> condizione;
    bool operator==(const RigaInt &) const = default;
};

struct RigaAsp
{
    int c1;
    double c2;
    int nCampo;
    std::optional<QString> nome;
    std::optional<int> dim, vis, pos, raggruppa;
    bool operator==(const RigaAsp &) const = default;
};

inline std::ostream &operator<<(std::ostream &os, const RigaInt &r)
{
    return os << "(" << r.c1 << "," << r.c2 << "," << r.numero << "," << r.nome.value_or("<null>").toStdString() << ","
              << (r.mostra ? std::to_string(*r.mostra) : "<null>") << ","
              << r.condizione.value_or("<null>").toStdString() << ")";
}

// Prepares the tables on `att` and makes a table CLIENTI to question.
inline void preparaArchivio(db::Attachment &att)
{
    storedqueries::installaPreparaClassificazioni();
    db::Transaction t(att);
    platform::RecordingFeedback muto;
    storedqueries::PreparaTabelleQuery(att, t, muto);
    db::executeSql(t, QStringLiteral("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, "
                                     "RAGIONESOCIALE VARCHAR(60), CITTA VARCHAR(40), FIDO DOUBLE PRECISION, "
                                     "NATO DATE, NOTE BLOB SUB_TYPE 1, FOTO BLOB SUB_TYPE 0, ETA SMALLINT)"));
    t.commit();
}

// Opens other archives of the tests with the test login.
class ApritoreDiTest
{
public:
    ApritoreDiTest()
    {
        m_precedente = storedqueries::setApriDatabase([this](db::Attachment &c, const QString &percorso) {
            ++aperture;
            try {
                c.connect(percorso, adminParams());
                return true;
            } catch (...) {
                return false;
            }
        });
    }
    ~ApritoreDiTest() { storedqueries::setApriDatabase(m_precedente); }
    int aperture = 0;

private:
    storedqueries::ApriDatabase m_precedente;
};

class ArchivioQuery : public FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        preparaArchivio(att());
    }

public:
    void query(db::Attachment &a, int codice, const QString &titolo, const QString &tabella = QStringLiteral("CLIENTI"),
               const QString &percorso = QString())
    {
        db::Transaction t(a);
        db::Statement s(t, QStringLiteral("INSERT INTO STOQUER (CODICE, TITOLO, TABELLA, PERCORSO) VALUES (:C, :T, :TA, :P)"));
        s.setParam(QStringLiteral("C"), db::Value(qint64(codice)));
        s.setParam(QStringLiteral("T"), titolo.isNull() ? db::FieldValue() : db::FieldValue(db::Value(titolo)));
        s.setParam(QStringLiteral("TA"), db::Value(tabella));
        s.setParam(QStringLiteral("P"), percorso.isEmpty() ? db::FieldValue() : db::FieldValue(db::Value(percorso)));
        s.execute();
        t.commit();
    }
    void query(int codice, const QString &titolo) { query(att(), codice, titolo); }

    void righeInt(db::Attachment &a, const std::vector<RigaInt> &righe)
    {
        db::Transaction t(a);
        db::Statement s(t, QStringLiteral("INSERT INTO STOINT VALUES (:C1, :C2, :N, :NOME, :M, :COND)"));
        for (const RigaInt &r : righe) {
            s.setParam(QStringLiteral("C1"), db::Value(qint64(r.c1)));
            s.setParam(QStringLiteral("C2"), db::Value(r.c2));
            s.setParam(QStringLiteral("N"), db::Value(qint64(r.numero)));
            s.setParam(QStringLiteral("NOME"), r.nome ? db::FieldValue(db::Value(*r.nome)) : db::FieldValue());
            s.setParam(QStringLiteral("M"), r.mostra ? db::FieldValue(db::Value(qint64(*r.mostra))) : db::FieldValue());
            s.setParam(QStringLiteral("COND"), r.condizione ? db::FieldValue(db::Value(*r.condizione)) : db::FieldValue());
            s.execute();
        }
        t.commit();
    }
    void righeInt(const std::vector<RigaInt> &righe) { righeInt(att(), righe); }

    void righeAsp(db::Attachment &a, const std::vector<RigaAsp> &righe)
    {
        db::Transaction t(a);
        db::Statement s(t, QStringLiteral("INSERT INTO STOASP VALUES (:C1, :C2, :N, :NOME, :D, :V, :P, :R)"));
        const auto intero = [](std::optional<int> v) {
            return v ? db::FieldValue(db::Value(qint64(*v))) : db::FieldValue();
        };
        for (const RigaAsp &r : righe) {
            s.setParam(QStringLiteral("C1"), db::Value(qint64(r.c1)));
            s.setParam(QStringLiteral("C2"), db::Value(r.c2));
            s.setParam(QStringLiteral("N"), db::Value(qint64(r.nCampo)));
            s.setParam(QStringLiteral("NOME"), r.nome ? db::FieldValue(db::Value(*r.nome)) : db::FieldValue());
            s.setParam(QStringLiteral("D"), intero(r.dim));
            s.setParam(QStringLiteral("V"), intero(r.vis));
            s.setParam(QStringLiteral("P"), intero(r.pos));
            s.setParam(QStringLiteral("R"), intero(r.raggruppa));
            s.execute();
        }
        t.commit();
    }
    void righeAsp(const std::vector<RigaAsp> &righe) { righeAsp(att(), righe); }

    static std::vector<RigaInt> leggiInt(db::Attachment &a, const QString &dove = QStringLiteral("1=1"))
    {
        db::Transaction t(a);
        db::Statement s(t, QStringLiteral("SELECT CODICE1, CODICE2, NUMERO, NOME, MOSTRA, CONDIZIONE FROM STOINT WHERE ")
                               + dove + QStringLiteral(" ORDER BY CODICE1, CODICE2, NUMERO"),
                        db::ParamStyle::AsWritten);
        std::vector<RigaInt> out;
        db::ResultSet rs = s.open();
        while (rs.next())
            out.push_back({int(*rs.toInt64(0)), *rs.toDouble(1), int(*rs.toInt64(2)),
                           rs.isNull(3) ? std::nullopt : std::optional<QString>(rs.text(3)),
                           rs.isNull(4) ? std::nullopt : std::optional<int>(int(*rs.toInt64(4))),
                           rs.isNull(5) ? std::nullopt : std::optional<QString>(rs.text(5))});
        return out;
    }
    std::vector<RigaInt> leggiInt(const QString &dove = QStringLiteral("1=1")) { return leggiInt(att(), dove); }

    static qint64 conta(db::Attachment &a, const QString &sql)
    {
        db::Transaction t(a);
        const db::FieldValue v = db::queryValue(t, sql);
        return v ? db::toInt64(*v).value_or(-1) : -1;
    }
    qint64 conta(const QString &sql) { return conta(att(), sql); }

    // STOQUER, STOINT and STOASP row counts, to see that nothing changed.
    std::vector<qint64> righeTotali(db::Attachment &a)
    {
        return {conta(a, QStringLiteral("SELECT COUNT(*) FROM STOQUER")), conta(a, QStringLiteral("SELECT COUNT(*) FROM STOINT")),
                conta(a, QStringLiteral("SELECT COUNT(*) FROM STOASP"))};
    }
};

// A chain: stored query `codice` -> (2000, primo) -> (2000, primo + 1) ...,
// `livelli` chained queries, each with two plain rows and one column.
inline std::vector<RigaInt> catena(int codice, double primo, int livelli)
{
    std::vector<RigaInt> out;
    double precedente = codice;
    for (int l = 0; l <= livelli; ++l) {
        const int c1 = l == 0 ? 0 : 2000;
        const double c2 = l == 0 ? double(codice) : primo + l - 1;
        int n = 1;
        if (l > 0)
            out.push_back({c1, c2, n++, QStringLiteral("QUERY PRECEDENTE"), 4,
                           l == 1 ? QString::number(codice) : QString::number(qint64(precedente))});
        out.push_back({c1, c2, n++, QStringLiteral("CODICE"), 1, QString()});
        out.push_back({c1, c2, n++, QStringLiteral("CITTA"), 1, QStringLiteral("ROMA")});
        if (l < livelli)
            out.push_back({c1, c2, n++, QStringLiteral("QUERY SUCCESSIVA"), 4, QString::number(qint64(primo + l))});
        precedente = c2;
    }
    return out;
}

} // namespace vardof::test
