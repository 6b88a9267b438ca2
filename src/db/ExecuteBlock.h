#pragma once

// The text of one EXECUTE BLOCK that carries the statements of many rows in
// one round trip: input parameters typed as the columns they fill (so the
// client converts each value exactly as for the single statement), output
// variables read back after the execution, and the body line by line.
//
// Through a server a statement costs a network round trip; a block of n
// rows costs one. The server runs the block under one savepoint: when one
// of its statements fails, the whole block is undone and nothing of it
// stays in the transaction.
//
// The text is PSQL, so Statement leaves ":NAME" in the body alone; the
// input markers are the "?" of the declarations, in declaration order.

#include <QString>
#include <QStringList>

namespace vardof::db {

class ExecuteBlock
{
public:
    // Declares an input parameter of the type of `table`.`column`; returns
    // its name prefixed with ':' for the body. Markers are numbered in the
    // order of these calls.
    QString input(const QString &table, const QString &column)
    {
        const QString name = QStringLiteral("P%1").arg(m_inputs.size());
        m_inputs << QStringLiteral("%1 TYPE OF COLUMN %2.%3 = ?").arg(name, table, column);
        return QLatin1Char(':') + name;
    }
    // Declares an output variable of SQL type `type` (returned in order).
    QString output(const QString &type)
    {
        const QString name = QStringLiteral("R%1").arg(m_outputs.size());
        m_outputs << name + QLatin1Char(' ') + type;
        return name;
    }
    void line(const QString &psql) { m_body << psql; }

    int inputCount() const { return int(m_inputs.size()); }
    int outputCount() const { return int(m_outputs.size()); }

    QString text() const
    {
        QString out = QStringLiteral("EXECUTE BLOCK");
        if (!m_inputs.isEmpty())
            out += QStringLiteral(" (") + m_inputs.join(QStringLiteral(",\n")) + QLatin1Char(')');
        if (!m_outputs.isEmpty())
            out += QStringLiteral("\nRETURNS (") + m_outputs.join(QStringLiteral(", ")) + QLatin1Char(')');
        return out + QStringLiteral("\nAS\nBEGIN\n") + m_body.join(QLatin1Char('\n')) + QStringLiteral("\nEND");
    }

    // Limits under which a block is safely accepted by Firebird 3: the text
    // and the input message stay well below its 64 KB.
    static constexpr int kMaxTextBytes = 48000;
    static constexpr int kMaxMessageBytes = 48000;

private:
    QStringList m_inputs;
    QStringList m_outputs;
    QStringList m_body;
};

} // namespace vardof::db
