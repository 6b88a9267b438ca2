// One holder per user of the chain semaphore, in one process: the second
// holder of the same user is refused with the warning until the first
// releases; other users are not held up.

#include "QbeDb.h"

#include "qbe/SemaforoCatena.h"

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::qbe;

namespace {

class Semaforo : public test::QbeDb {};

TEST_F(Semaforo, unSoloDetentorePerUtente)
{
    SemaforoCatena primo(7, att());
    SemaforoCatena secondo(7, att());
    SemaforoCatena altroUtente(8, att());
    QString m;
    ASSERT_EQ(primo.prendi(m), SemaforoCatena::Esito::Preso) << m.toStdString();
    EXPECT_TRUE(m.isEmpty());
    EXPECT_EQ(primo.prendi(m), SemaforoCatena::Esito::Preso); // held already: kept
    EXPECT_EQ(secondo.prendi(m), SemaforoCatena::Esito::Occupato);
    EXPECT_EQ(m, kMsgQuerySuccessiveStessoUtente);
    EXPECT_FALSE(secondo.preso());
    EXPECT_EQ(altroUtente.prendi(m), SemaforoCatena::Esito::Preso) << m.toStdString();

    primo.libera();
    EXPECT_FALSE(primo.preso());
    EXPECT_EQ(secondo.prendi(m), SemaforoCatena::Esito::Preso) << m.toStdString();
    EXPECT_EQ(primo.prendi(m), SemaforoCatena::Esito::Occupato);
}

TEST_F(Semaforo, rilasciatoQuandoDistrutto)
{
    QString m;
    {
        SemaforoCatena primo(9, att());
        ASSERT_EQ(primo.prendi(m), SemaforoCatena::Esito::Preso) << m.toStdString();
    }
    SemaforoCatena secondo(9, att());
    EXPECT_EQ(secondo.prendi(m), SemaforoCatena::Esito::Preso) << m.toStdString();
}

} // namespace
