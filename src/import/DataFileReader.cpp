#include "import/DataFileReader.h"

#include "core/Cp1252.h"

#include <QFile>

#include <cstring>

namespace vardof::importcsv {

namespace {

bool validUtf8(const unsigned char *s, qsizetype n)
{
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        unsigned minimo;
        unsigned cp;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            minimo = 0x80;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            minimo = 0x800;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            minimo = 0x10000;
            cp = c & 0x07;
        } else {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= n || (s[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

} // namespace

bool DataFileReader::open(const QString &path)
{
    return m_reader.open(path);
}

bool DataFileReader::readLine(QString &line, bool &nonValida)
{
    if (!m_reader.readRawLine(m_raw))
        return false;
    qsizetype inizio = 0;
    if (m_reader.lineNumber() == 1 && m_raw.startsWith("\xEF\xBB\xBF"))
        inizio = 3;
    m_rawStart = inizio;
    const auto *s = reinterpret_cast<const unsigned char *>(m_raw.constData()) + inizio;
    const qsizetype n = m_raw.size() - inizio;
    bool alto = false;
    nonValida = false;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char c = s[i];
        if (c >= 0x80)
            alto = true;
        else if (c < 0x20 && c != '\t' && c != '\r')
            nonValida = true;
    }
    const char *dati = reinterpret_cast<const char *>(s);
    if (!alto)
        line = QString::fromLatin1(dati, n);
    else if (validUtf8(s, n))
        line = QString::fromUtf8(dati, n);
    else
        line = core::fromCp1252(std::string_view(dati, size_t(n)));
    return true;
}

FileDati esaminaFileDati(const QString &path, QString *errore)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (errore)
            *errore = f.errorString();
        return FileDati::Illeggibile;
    }
    const QByteArray blocco = f.read(64 * 1024);
    if (blocco.isEmpty() && f.error() != QFileDevice::NoError) {
        if (errore)
            *errore = f.errorString();
        return FileDati::Illeggibile;
    }
    qsizetype controlli = 0;
    for (const char ch : blocco) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0)
            return FileDati::NonTesto;
        // TAB, line ends, form feed and the old end-of-file mark are text.
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A)
            ++controlli;
    }
    // Random bytes hold about one control byte in nine; text a stray one or
    // two, which its lines report.
    return controlli > 2 && controlli * 16 > blocco.size() ? FileDati::NonTesto : FileDati::Testo;
}

qint64 contaRigheDati(const QString &path, bool saltaPrimaRiga)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    qint64 righe = 0;
    char ultimo = '\n';
    for (;;) {
        const qint64 letti = f.read(buffer.data(), buffer.size());
        if (letti <= 0)
            break;
        const char *p = buffer.constData();
        const char *fine = p + letti;
        while ((p = static_cast<const char *>(std::memchr(p, '\n', size_t(fine - p)))) != nullptr) {
            ++righe;
            ++p;
        }
        ultimo = buffer[letti - 1];
    }
    if (ultimo != '\n')
        ++righe;
    if (saltaPrimaRiga && righe > 0)
        --righe;
    return righe;
}

} // namespace vardof::importcsv
