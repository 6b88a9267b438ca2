#include "output/report/TQmtGridStampa.h"

#include "db/Attachment.h"
#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "platform/OutputFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vardof::output::report {

TQmtGridStampa::TQmtGridStampa(const QDateTime &creazione)
    : m_nome(QStringLiteral("StQmtGrid_") + creazione.toString(QStringLiteral("yyyyMMddhhmmsszzz")) + QStringLiteral(".LST"))
{
}

TQmtGridStampa::~TQmtGridStampa()
{
    QFile::remove(percorsoLayout());
}

QString TQmtGridStampa::percorsoLayout() const
{
    auto conSeparatore = [](QString d) {
        d.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return d.endsWith(QLatin1Char('/')) ? d : d + QLatin1Char('/');
    };
    if (!DirBin.isEmpty())
        return conSeparatore(DirBin) + QStringLiteral("report/") + m_nome;
    return conSeparatore(QCoreApplication::applicationDirPath()) + m_nome;
}

std::vector<ColonnaGriglia> TQmtGridStampa::colonne() const
{
    if (!DatabaseImpostazioni)
        return {};
    db::Transaction tra(*DatabaseImpostazioni);
    const QStringList sql{QStringLiteral("SELECT"), QStringLiteral("  NOMECAMPO,"), QStringLiteral("  NOMECOLONNA,"),
                          QStringLiteral("  LARGHEZZA"), QStringLiteral("FROM"), QStringLiteral("  STOASP1"),
                          QStringLiteral("WHERE"), QStringLiteral("  CODICEPROGETTO=") + QString::number(CodiceProgetto),
                          QStringLiteral("  AND"), QStringLiteral("  CODICESITUAZIONE=") + QString::number(CodiceSituazione),
                          QStringLiteral("  AND"), QStringLiteral("  CODICEUTENTE=") + QString::number(Utente),
                          QStringLiteral("  AND"), QStringLiteral("  VISIBILE=1"), QStringLiteral("ORDER BY"),
                          QStringLiteral("  POSIZIONE")};
    db::Statement st(tra, sql.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    std::vector<ColonnaGriglia> out;
    while (rs.next())
        out.push_back({rs.text(0).trimmed(), rs.text(1), int(rs.toInt64(2).value_or(0))});
    rs.close();
    tra.commit();
    return out;
}

bool TQmtGridStampa::ScriviLayout(QString *errore)
{
    const QString percorso = percorsoLayout();
    QFile::remove(percorso);
    const QByteArray testo = CreaLayoutGriglia(colonne(), opzioni);
    QDir().mkpath(QFileInfo(percorso).absolutePath());
    platform::OutputFile f(percorso);
    if (!f.open() || !f.write(testo) || !f.commit()) {
        if (errore)
            *errore = f.errorString();
        return false;
    }
    return true;
}

QString TQmtGridStampa::testoComando(bool anteprima) const
{
    return QStringLiteral("<QMTForm><SQLStampa>") + TestoSQL + QStringLiteral("</SQLStampa><NomeReport>") + percorsoLayout()
           + QStringLiteral("</NomeReport><TitoloStampa>Stampa ") + NomeTitolo + QStringLiteral("</TitoloStampa>")
           + (anteprima ? QStringLiteral("<AnteprimaDiretta>1</AnteprimaDiretta>")
                        : QStringLiteral("<EditaReportDiretto>1</EditaReportDiretto>"))
           + QStringLiteral("</QMTForm>");
}

struct SorgenteSql::Impl
{
    std::unique_ptr<db::Transaction> tra;
    std::unique_ptr<db::Statement> st;
    db::ResultSet rs;
};

SorgenteSql::SorgenteSql(db::Attachment &att, const QString &sql) : m_att(att), m_sql(sql) {}
SorgenteSql::~SorgenteSql() = default;

bool SorgenteSql::apri(QString *errore)
{
    try {
        d = std::make_unique<Impl>();
        d->tra = std::make_unique<db::Transaction>(m_att);
        d->st = std::make_unique<db::Statement>(*d->tra, m_sql, db::ParamStyle::AsWritten);
        d->rs = d->st->open();
        return true;
    } catch (const db::Error &e) {
        if (errore)
            *errore = e.message();
        d.reset();
        return false;
    }
}

bool SorgenteSql::prossimo()
{
    return d && d->rs.next();
}

std::optional<ValoreReport> SorgenteSql::campo(const QString &nome) const
{
    if (!d)
        return std::nullopt;
    const int i = d->rs.indexOf(nome);
    if (i < 0)
        return std::nullopt;
    return valoreDi(d->rs.value(i), d->rs.columns()[size_t(i)]);
}

} // namespace vardof::output::report
