#pragma once

// What every user table of a database holds, in one comparable value per
// table: the count of its rows and a hash of all of them. Taken before and
// after a run, it shows that nothing outside the intended table changed.

#include <QString>

#include <map>

namespace vardof::db {
class Attachment;
}

namespace vardof::test {

// Table name as the catalogue holds it -> "rows:hash". Rows are hashed in
// the sorted order of their texts, so the order the server returns them in
// does not count. Read in a transaction of its own (committed data).
std::map<QString, QString> impronteTabelle(db::Attachment &att);

// The same without the tables named (catalogue names, exact).
std::map<QString, QString> impronteTranne(db::Attachment &att, const QStringList &escluse);

} // namespace vardof::test
