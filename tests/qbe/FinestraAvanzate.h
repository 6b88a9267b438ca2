#pragma once

// The query window over customers with zones and agents, for the tests of
// the structural operations (added tables, visible fields, lock, unions)
// and of chained queries: the window opened offscreen, optionally as a
// stored query of a user, and the advanced-processing menu driven from
// inside its exec().

#include "Controlli.h"
#include "Finestra.h"
#include "Righe.h"

#include "db/Catalog.h"
#include "db/Statement.h"
#include "platform/HostPaths.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "qbe/TIBFQuerForm.h"
#include "qbe/ui/AnswerModel.h"
#include "qbe/ui/DialoghiAvanzati.h"
#include "qbe/ui/GrigliaQuery.h"
#include "qbe/ui/InterrogationModel.h"
#include "qbe/ui/TIBLQueryForm.h"
#include "storedqueries/StoredQueryTables.h"
#include "support/FbFixture.h"
#include "support/ModalDialogs.h"

#include <QApplication>
#include <QPushButton>

#include <functional>
#include <memory>

namespace vardof::test {

class FinestraAvanzate : public FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        // A window with a user number opens the user's parameter store in
        // the host's folder: a folder of this test's own.
        platform::setHostDir(m_dir.path() + QStringLiteral("/host/"));
        exec(QStringLiteral("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, RAGIONESOCIALE VARCHAR(60),"
                            " CITTA VARCHAR(40), ZONA VARCHAR(4), FIDO NUMERIC(15,2))"));
        exec(QStringLiteral("CREATE TABLE ZONE (CODICE VARCHAR(4) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(30))"));
        exec(QStringLiteral("CREATE TABLE AGENTI (CODICE INTEGER NOT NULL PRIMARY KEY, ZONA VARCHAR(4),"
                            " NOME VARCHAR(30))"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (1, 'ROSSI SPA', 'ROMA', 'C', 1234.5)"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (2, 'BIANCHI SRL', 'MILANO', 'N', 0)"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (3, 'D''ANGELO SNC', 'ROMA', 'C', 98765.43)"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (4, 'VERDI SAS', 'NAPOLI', 'S', NULL)"));
        exec(QStringLiteral("INSERT INTO ZONE VALUES ('N', 'NORD')"));
        exec(QStringLiteral("INSERT INTO ZONE VALUES ('C', 'CENTRO')"));
        exec(QStringLiteral("INSERT INTO AGENTI VALUES (1, 'C', 'FERRI')"));
        storedqueries::PreparaTabelleQuery(att(), tra());
        tra().commitRetaining();
    }

    void TearDown() override
    {
        platform::setHostDir(QString());
        FbFixture::TearDown();
    }

    // The window on CLIENTI; with `codice` a stored query (0, codice) of
    // `utente`, loaded on activation.
    std::unique_ptr<qbe::TIBLQueryForm> apri(int utente = 0, double codice = -1)
    {
        auto form = std::make_unique<qbe::TIBLQueryForm>(nullptr, utente, att(), tra(), QStringLiteral("DEMO"),
                                                         m_dir.path(), m_dir.path(), QStringLiteral("CLIENTI"));
        if (codice >= 0)
            form->setModoStorico(0, codice, QString());
        form->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return form;
    }

    void salvaRighe(const std::vector<storedqueries::RigaStoInt> &righe, int codice1, double codice2)
    {
        db::Transaction t(att());
        storedqueries::scriviStoInt(att(), t, codice1, codice2, righe);
        t.commit();
    }
    std::vector<storedqueries::RigaStoInt> righeSalvate(int codice1, double codice2)
    {
        db::Transaction t(att());
        return storedqueries::leggiStoInt(att(), t, codice1, codice2);
    }
    // Stored rows as "Numero|Nome|Mostra|Condizione", for comparing.
    static QStringList testo(const std::vector<storedqueries::RigaStoInt> &righe)
    {
        QStringList out;
        for (const auto &r : righe)
            out << QStringLiteral("%1|%2|%3|%4").arg(r.Numero).arg(r.Nome).arg(r.Mostra).arg(r.Condizione);
        return out;
    }
    bool esisteTabella(const QString &nome)
    {
        db::Transaction t(att());
        return db::catalog::relationExists(att(), t, nome);
    }
    int righeTabella(const QString &nome)
    {
        db::Transaction t(att());
        const db::FieldValue v = db::queryValue(att(), t, QStringLiteral("SELECT COUNT(*) FROM ") + nome);
        return v ? int(db::toDouble(*v).value_or(-1)) : -1;
    }

    // Opens "Elab. a&vanzate" and runs `act` on the menu; `poi`, when given,
    // runs on the dialog of type T the accepted entry opens.
    static void menu(qbe::TIBLQueryForm &f, std::function<void(qbe::TElabAvanForm *)> act)
    {
        whenShown<qbe::TElabAvanForm>(std::move(act));
        controllo<QPushButton>(f, "ButtonElabAvanzate")->click();
    }
    template <typename T>
    static void menuPoi(qbe::TIBLQueryForm &f, QPushButton *qbe::TElabAvanForm::*voce, std::function<void(T *)> poi)
    {
        menu(f, [voce, poi](qbe::TElabAvanForm *m) {
            whenShown<T>(poi);
            (m->*voce)->click();
        });
    }
    static void voceMenu(qbe::TIBLQueryForm &f, QPushButton *qbe::TElabAvanForm::*voce)
    {
        menu(f, [voce](qbe::TElabAvanForm *m) {
            (m->*voce)->click();
            // A refused entry leaves the menu open.
            if (m->isVisible())
                m->ButtonChiudi->click();
        });
    }

    static std::vector<qbe::RigaInt> righeForm(qbe::TIBLQueryForm &f) { return f.tabIntTmp().righe(); }

    static QStringList colonna(qbe::TIBLQueryForm &f, const QString &nome)
    {
        f.answerModel().fetchAll();
        const int c = f.tabRispTmp().indexOfColonna(nome);
        QStringList out;
        for (int r = 0; r < f.answerModel().rowCount(); ++r)
            out << f.answerModel().index(r, c).data().toString();
        return out;
    }

    platform::ScopedServices m_services;
};

} // namespace vardof::test
