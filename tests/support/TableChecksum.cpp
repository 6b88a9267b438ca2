#include "support/TableChecksum.h"

#include "db/Catalog.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QCryptographicHash>
#include <QStringList>

namespace vardof::test {

std::map<QString, QString> impronteTabelle(db::Attachment &att)
{
    db::Transaction tra(att);
    std::map<QString, QString> out;
    for (const QString &tabella : db::catalog::userTables(tra)) {
        db::Statement st(tra, QStringLiteral("SELECT * FROM ") + db::quotedName(tabella), db::ParamStyle::AsWritten);
        db::ResultSet rs = st.open();
        QStringList righe;
        while (rs.next()) {
            QString riga;
            for (int i = 0; i < int(rs.columns().size()); ++i) {
                riga += QChar(0x1F);
                riga += rs.isNull(i) ? QString(QChar(0x1E)) : rs.text(i);
            }
            righe << riga;
        }
        righe.sort();
        QCryptographicHash h(QCryptographicHash::Sha1);
        for (const QString &r : std::as_const(righe)) {
            h.addData(r.toUtf8());
            h.addData(QByteArrayView("\n"));
        }
        out[tabella] = QStringLiteral("%1:%2").arg(righe.size()).arg(QString::fromLatin1(h.result().toHex()));
    }
    if (tra.isActive())
        tra.rollback();
    return out;
}

std::map<QString, QString> impronteTranne(db::Attachment &att, const QStringList &escluse)
{
    std::map<QString, QString> out = impronteTabelle(att);
    for (const QString &t : escluse)
        out.erase(t);
    return out;
}

} // namespace vardof::test
