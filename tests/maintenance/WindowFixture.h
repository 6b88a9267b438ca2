#pragma once

// The maintenance windows under test: a work context over a fresh embedded
// database, a second database as the destination, scripted message boxes.

#include "Support.h"
#include "context/WorkContext.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"

#include <memory>

namespace vardof::test {

class WindowTest : public FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        m_context = std::make_unique<context::TTabForm>(m_dir.path() + QLatin1Char('/'));
        m_context->NomeProgetto = QStringLiteral("DEMO");
        m_context->Archivio = dbPath();
        m_context->database().connect(dbPath(), adminParams());
        m_destPath = m_dir.file("dest.fdb");
        m_dest = createDatabase(m_destPath);
    }
    void TearDown() override
    {
        m_dest.disconnect();
        m_context.reset();
        FbFixture::TearDown();
    }
    QStringList texts() { return m_services.messages().texts(); }

    platform::ScopedServices m_services;
    std::unique_ptr<context::TTabForm> m_context;
    QString m_destPath;
    db::Attachment m_dest;
};

} // namespace vardof::test
