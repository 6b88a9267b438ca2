#include "convert/FileConverter.h"

#include "convert/ConversionDefinition.h"
#include "convert/ConversionTexts.h"
#include "convert/ValueChecks.h"
#include "core/Cp1252.h"
#include "platform/OutputFile.h"

#include <QDate>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vardof::convert {

namespace {

using Bytes = std::string_view;

QString decode(Bytes bytes)
{
    return core::fromCp1252(bytes);
}

QString decode(const QByteArray &bytes)
{
    return core::fromCp1252(bytes);
}

// For messages: a control character read from a file (a NUL above all,
// which would end the text on a terminal) is written as \xNN.
bool isControl(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && u != '\t') || u == 0x7F;
}

QString visible(Bytes bytes)
{
    const bool plain = std::none_of(bytes.begin(), bytes.end(), isControl);
    if (plain)
        return decode(bytes);
    QString text;
    text.reserve(qsizetype(bytes.size()) + 8);
    for (char c : bytes) {
        if (isControl(c))
            text += QStringLiteral("\\x")
                    + QString::number(static_cast<unsigned char>(c), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            text += decode(Bytes(&c, 1));
    }
    return text;
}

QString visible(const QByteArray &bytes)
{
    return visible(Bytes(bytes.constData(), size_t(bytes.size())));
}

void append(QByteArray &out, Bytes bytes)
{
    out.append(bytes.data(), qsizetype(bytes.size()));
}

Bytes trimRight(Bytes value)
{
    size_t end = value.size();
    while (end > 0 && static_cast<unsigned char>(value[end - 1]) <= ' ')
        --end;
    return value.substr(0, end);
}

Bytes trimLeft(Bytes value)
{
    size_t start = 0;
    while (start < value.size() && static_cast<unsigned char>(value[start]) <= ' ')
        ++start;
    return value.substr(start);
}

QByteArray withoutQuotes(QByteArray text)
{
    return text.replace('\'', QByteArray());
}

// Copy(value, start, length) with 1-based start, shorter at the end.
Bytes cut(Bytes value, qint64 start, qint64 length)
{
    if (start < 1)
        start = 1;
    if (length <= 0 || size_t(start) > value.size())
        return {};
    return value.substr(size_t(start - 1), size_t(length));
}

// An alphanumeric (or untyped) value must not carry ";" into a ";"-delimited
// line, nor a line end.
QByteArray sanitizedReplacement(const QString &replacement)
{
    QString text = replacement;
    text.remove(QLatin1Char(';'));
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return core::toCp1252(text);
}

} // namespace

// What both engines share: the destination buffer, the value checks of
// numeric and date fields, and the anomaly list.
struct FileConverter::Engine
{
    explicit Engine(FileConverter &owner)
        : sink(owner.m_sink), anomalies(owner.m_anomalies),
          replacement(sanitizedReplacement(owner.m_options.replacement)),
          replacementText(decode(replacement))
    {}
    virtual ~Engine() = default;

    // Turns the definition lines into fields; the first unusable line gives
    // the error text (empty when all are usable).
    virtual QString compile(const DefinitionFile &definition) = 0;
    // Appends one output line without its line end; false (and *error) when
    // a definition cannot be applied to this line.
    virtual bool convertLine(Bytes line, qint64 row, QByteArray &out, QString *error) = 0;

    void reportAnomaly(const QString &text)
    {
        ++anomalies;
        sink.line(text);
    }

    // Types N and D: blanks out, then the value must read as a number or a
    // date; what is written is the text without blanks, not reformatted.
    void appendChecked(char type, Bytes value, qint64 row, const QString &name, QByteArray &out)
    {
        Bytes compact = value;
        if (value.find(' ') != Bytes::npos) {
            scratch.assign(value);
            scratch.erase(std::remove(scratch.begin(), scratch.end(), ' '), scratch.end());
            compact = scratch;
        }
        if (type == 'N') {
            if (isNumber(compact)) {
                append(out, compact);
            } else {
                reportAnomaly(texts::notNumeric(row, name, visible(compact)));
                out.append('0');
            }
        } else if (isDate(compact)) {
            append(out, compact);
        } else {
            reportAnomaly(texts::notDate(row, name, visible(compact)));
        }
    }

    void appendReplacingSemicolons(Bytes value, qint64 row, const QString &name, QByteArray &out)
    {
        if (value.find(';') == Bytes::npos) {
            append(out, value);
            return;
        }
        reportAnomaly(texts::holdsSemicolon(row, name, visible(value), replacementText));
        for (char c : value) {
            if (c == ';')
                out.append(replacement);
            else
                out.append(c);
        }
    }

    QList<QByteArray> names;
    platform::RunFeedback &sink;
    qint64 &anomalies;
    QByteArray replacement;
    QString replacementText;
    std::string scratch;
};

namespace {

std::optional<int> parseInt(const QByteArray &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// ---- fixed-length ------------------------------------------------------------

struct FixedField
{
    enum Kind { Empty, Constant, Cut };
    Kind kind = Empty;
    char type = 0; // 'A', 'N', 'D', or 0 for anything else
    QString name;
    QByteArray constant;
    int start = 1;
    int length = 0;
};

char typeLetter(const QByteArray &text)
{
    if (text == "A" || text == "N" || text == "D")
        return text.at(0);
    return 0;
}

struct FixedEngine : FileConverter::Engine
{
    using Engine::Engine;

    QString compile(const DefinitionFile &definition) override
    {
        QString error;
        for (const DefinitionLine &line : definition.lines) {
            FixedField field;
            field.name = visible(line.value(1));
            names << line.value(1);
            field.type = typeLetter(line.value(4));
            const QByteArray position = line.value(2);
            const QByteArray length = line.value(3);
            if (length == "0") {
                field.kind = FixedField::Empty;
            } else if (position.toUpper().contains("COSTANTE")) {
                field.kind = FixedField::Constant;
                field.constant = withoutQuotes(length);
            } else {
                field.kind = FixedField::Cut;
                const auto start = parseInt(position);
                const auto count = parseInt(length);
                QString reason;
                if (!start)
                    reason = texts::notANumber(texts::startPosition(), visible(position));
                else if (*start < 1)
                    reason = texts::notValid(texts::startPosition(), visible(position));
                else if (!count)
                    reason = texts::notANumber(texts::fieldLength(), visible(length));
                else if (*count < 0)
                    reason = texts::notValid(texts::fieldLength(), visible(length));
                if (!reason.isEmpty() && error.isEmpty())
                    error = texts::definitionError(line.lineNumber, visible(line.text), reason);
                field.start = start.value_or(1);
                field.length = std::max(0, count.value_or(0));
            }
            fields.push_back(field);
        }
        return error;
    }

    bool convertLine(Bytes line, qint64 row, QByteArray &out, QString *) override
    {
        for (const FixedField &field : fields) {
            switch (field.kind) {
            case FixedField::Empty:
                if (field.type == 'N')
                    out.append('0');
                break;
            case FixedField::Constant:
                out.append(field.constant);
                break;
            case FixedField::Cut: {
                const Bytes value = cut(line, field.start, field.length);
                if (field.type == 'N' || field.type == 'D')
                    appendChecked(field.type, value, row, field.name, out);
                else if (field.type == 'A')
                    appendReplacingSemicolons(trimRight(value), row, field.name, out);
                else
                    appendReplacingSemicolons(value, row, field.name, out);
                break;
            }
            }
            out.append(';');
        }
        return true;
    }

    std::vector<FixedField> fields;
};

// ---- delimited ---------------------------------------------------------------

struct Term
{
    int field = 0;      // 1-based source field, 0 for a literal
    QByteArray literal; // quotes removed
};

struct CsvField
{
    enum Kind { Empty, Constant, FromSource };
    Kind kind = Empty;
    char type = 0;
    QString name;
    int lineNumber = 0;
    QString lineText;
    QByteArray constant;
    int field = 0; // 0: no source field (a concatenation without a range)
    bool hasRange = false;
    int start = 1;
    int length = 1;
    bool ppi = false;
    bool upi = false;
    bool concatenation = false;
    std::vector<Term> terms;
    bool noBlankIni = false;
};

bool isWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The number between two markers of a range; unreadable numbers count as 1.
int rangeNumber(const QByteArray &nrIn, char open, char close)
{
    const qsizetype from = nrIn.indexOf(open);
    const qsizetype to = from < 0 ? -1 : nrIn.indexOf(close, from + 1);
    if (to < 0)
        return 1;
    return parseInt(nrIn.mid(from + 1, to - from - 1)).value_or(1);
}

bool isWholeNumber(const QByteArray &text)
{
    const QByteArray t = text.trimmed();
    return !t.isEmpty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// n(start,length) with PPI (keep the first word whole) and UPI (keep the last
// word whole). Positions are 1-based as in the definition.
Bytes applyRange(Bytes value, const CsvField &field)
{
    qint64 start = std::max(field.start, 1);
    qint64 length = std::max(field.length, 0);
    const qint64 size = qint64(value.size());
    if (size < start)
        return {};
    auto at = [&](qint64 pos) { return value[size_t(pos - 1)]; };
    if (field.ppi && start > 1 && isWordChar(at(start - 1))) {
        while (start > 1 && isWordChar(at(start)))
            --start;
    }
    if (field.upi) {
        qint64 end = start + length - 1;
        if (end < size && end >= 1 && isWordChar(at(end + 1))) {
            while (end > start && isWordChar(at(end))) {
                --end;
                --length;
            }
        }
    }
    return cut(value, start, length);
}

struct CsvEngine : FileConverter::Engine
{
    using Engine::Engine;

    QString compile(const DefinitionFile &definition) override
    {
        QString error;
        auto fail = [&](const DefinitionLine &line, const QString &reason) {
            if (error.isEmpty())
                error = texts::definitionError(line.lineNumber, visible(line.text), reason);
        };
        for (const DefinitionLine &line : definition.lines) {
            CsvField field;
            field.name = visible(line.value(1));
            names << line.value(1);
            field.type = typeLetter(line.value(3));
            field.lineNumber = line.lineNumber;
            field.lineText = visible(line.text);
            field.noBlankIni = line.noBlankIni;
            const QByteArray nrIn = line.value(2);
            const bool plus = nrIn.contains('+');
            if (nrIn == "0") {
                field.kind = CsvField::Empty;
            } else if (nrIn.contains('\'') && !plus) {
                field.kind = CsvField::Constant;
                field.constant = withoutQuotes(nrIn);
            } else {
                field.kind = CsvField::FromSource;
                field.concatenation = plus;
                const qsizetype paren = nrIn.indexOf('(');
                if (paren >= 0 || !plus) {
                    const QByteArray number = paren >= 0 ? nrIn.left(paren) : nrIn;
                    const auto n = parseInt(number);
                    if (!n)
                        fail(line, texts::notANumber(texts::fieldNumber(), visible(number)));
                    else if (*n < 1)
                        fail(line, texts::notValid(texts::fieldNumber(), visible(number)));
                    field.field = std::max(0, n.value_or(0));
                }
                if (paren >= 0) {
                    field.hasRange = true;
                    field.start = rangeNumber(nrIn, '(', ',');
                    field.length = rangeNumber(nrIn.mid(paren), ',', ')');
                    field.ppi = nrIn.contains("PPI");
                    field.upi = nrIn.contains("UPI");
                }
                if (plus) {
                    for (const QByteArray &term : nrIn.split('+')) {
                        if (term.isEmpty())
                            break;
                        Term t;
                        if (isWholeNumber(term)) {
                            t.field = term.trimmed().toInt();
                            if (t.field < 1)
                                fail(line, texts::notValid(texts::fieldNumber(), visible(term)));
                        } else {
                            t.literal = withoutQuotes(term);
                        }
                        field.terms.push_back(t);
                    }
                }
            }
            fields.push_back(field);
        }
        return error;
    }

    // Field n of the current line; a line shorter than the definitions reads
    // as padded with empty fields, anything further is a definition error.
    bool sourceField(const CsvField &def, int n, qint64 row, Bytes *value, QString *error)
    {
        const int available = std::max(int(parts.size()), int(fields.size()));
        if (n < 1 || n > available) {
            *error = texts::definitionError(def.lineNumber, def.lineText,
                                            texts::fieldBeyondLine(n, row, int(parts.size())));
            return false;
        }
        *value = n <= int(parts.size()) ? parts[size_t(n - 1)] : Bytes();
        return true;
    }

    bool convertLine(Bytes line, qint64 row, QByteArray &out, QString *error) override
    {
        parts.clear();
        size_t from = 0;
        for (size_t semi = line.find(';'); semi != Bytes::npos; semi = line.find(';', from)) {
            parts.push_back(line.substr(from, semi - from));
            from = semi + 1;
        }
        if (from < line.size())
            parts.push_back(line.substr(from));

        for (const CsvField &def : fields) {
            switch (def.kind) {
            case CsvField::Empty:
                if (def.type == 'N')
                    out.append('0');
                break;
            case CsvField::Constant:
                out.append(def.constant);
                break;
            case CsvField::FromSource: {
                Bytes value;
                if (def.field > 0 && !sourceField(def, def.field, row, &value, error))
                    return false;
                if (def.type == 'N' || def.type == 'D') {
                    appendChecked(def.type, value, row, def.name, out);
                } else if (def.type == 'A' && (!value.empty() || def.concatenation)) {
                    if (def.hasRange)
                        value = applyRange(value, def);
                    if (def.concatenation) {
                        joined.clear();
                        for (const Term &term : def.terms) {
                            if (term.field == 0) {
                                joined.append(term.literal.constData(), size_t(term.literal.size()));
                                continue;
                            }
                            Bytes part;
                            if (!sourceField(def, term.field, row, &part, error))
                                return false;
                            joined.append(part);
                        }
                        value = joined;
                    }
                    if (def.noBlankIni)
                        value = trimLeft(value);
                    append(out, trimRight(value));
                } else {
                    append(out, value);
                }
                break;
            }
            }
            out.append(';');
        }
        return true;
    }

    std::vector<CsvField> fields;
    std::vector<Bytes> parts;
    std::string joined;
};

// Reads the source a chunk at a time and hands out its lines without their
// CR LF (or LF); the last line may lack its terminator. A line longer than
// the limit is not kept: its bytes are dropped as they come and only its
// length is handed out, so the buffer never holds much more than one limit
// and one chunk.
class LineReader
{
public:
    enum Result { End, Line, TooLong };

    explicit LineReader(qint64 longest) : m_longest(longest) {}

    bool open(const QString &path)
    {
        m_file.close();
        m_file.setFileName(path);
        m_buffer.clear();
        m_start = 0;
        m_searchFrom = 0;
        m_eof = false;
        m_failed = false;
        m_dropped = 0;
        m_lastDropped = 0;
        return m_file.open(QIODevice::ReadOnly);
    }
    QString errorString() const { return m_file.errorString(); }
    bool failed() const { return m_failed; }

    // *line is valid until the next call; *length is the line's length in
    // both cases.
    Result next(Bytes *line, qint64 *length)
    {
        for (;;) {
            const char *base = m_buffer.constData();
            const qsizetype size = m_buffer.size();
            const void *hit = std::memchr(base + m_searchFrom, '\n', size_t(size - m_searchFrom));
            if (hit || (m_eof && (m_start < size || m_dropped > 0))) {
                const qsizetype end = hit ? static_cast<const char *>(hit) - base : size;
                const char last = end > m_start ? base[end - 1] : m_lastDropped;
                qint64 bytes = m_dropped + (end - m_start);
                if (last == '\r')
                    --bytes;
                const bool kept = m_dropped == 0;
                if (kept)
                    *line = Bytes(base + m_start, size_t(bytes));
                *length = bytes;
                m_start = m_searchFrom = hit ? end + 1 : size;
                m_dropped = 0;
                m_lastDropped = 0;
                if (!kept || bytes > m_longest) {
                    *line = Bytes();
                    return TooLong;
                }
                return Line;
            }
            if (m_eof)
                return End;
            // Past the limit (one more byte for a CR) no line end can make
            // the line short enough: drop what is held of it.
            const qsizetype pending = size - m_start;
            if (m_dropped > 0 || pending > m_longest + 1) {
                if (pending > 0) {
                    m_dropped += pending;
                    m_lastDropped = base[size - 1];
                }
                m_start = m_searchFrom = size;
            }
            refill();
        }
    }

private:
    void refill()
    {
        const qsizetype scanned = m_buffer.size() - m_start;
        m_buffer.remove(0, m_start);
        m_start = 0;
        m_searchFrom = scanned;
        const qsizetype chunk = 1 << 20;
        const qsizetype old = m_buffer.size();
        m_buffer.resize(old + chunk);
        const qint64 got = m_file.read(m_buffer.data() + old, chunk);
        if (got < 0)
            m_failed = true;
        m_buffer.resize(old + std::max<qint64>(got, 0));
        if (got <= 0)
            m_eof = true;
    }

    QFile m_file;
    QByteArray m_buffer;
    qint64 m_longest;
    qsizetype m_start = 0;
    qsizetype m_searchFrom = 0;
    bool m_eof = false;
    bool m_failed = false;
    qint64 m_dropped = 0;    // bytes of the current line already let go
    char m_lastDropped = 0;  // the last of them: a CR before the LF is no character
};

} // namespace

FileConverter::FileConverter(const ConversionOptions &options, platform::RunFeedback &sink)
    : m_options(options), m_sink(sink)
{}

FileConverter::~FileConverter() = default;

bool FileConverter::ConvertiFileLunghezzaFissa(const QString &definitionPath)
{
    FixedEngine engine(*this);
    return run(engine, definitionPath);
}

bool FileConverter::ConvertiFileCSV(const QString &definitionPath)
{
    CsvEngine engine(*this);
    return run(engine, definitionPath);
}

bool FileConverter::run(Engine &engine, const QString &definitionPath)
{
    m_error.clear();
    m_anomalies = 0;
    m_linesWritten = 0;

    const auto definition = readDefinitionFile(definitionPath, &m_error);
    if (!definition)
        return false;
    const QString definitionError = engine.compile(*definition);

    LineReader reader(kLongestSourceLine);
    if (!reader.open(m_options.source)) {
        m_error = texts::sourceUnreadable(m_options.source, reader.errorString());
        return false;
    }
    // The converted lines replace an existing destination only once they
    // are all written: a run that fails on the way leaves it as it was.
    // Buffered here already, so the file writes each block straight through.
    platform::OutputFile destination(m_options.destination, 1);
    if (!destination.open()) {
        m_error = texts::destinationUnwritable(m_options.destination, destination.errorString());
        return false;
    }

    // The total for the progress: one quick pass before the real one.
    Bytes line;
    qint64 length = 0;
    qint64 total = 0;
    while (reader.next(&line, &length) != LineReader::End)
        ++total;
    if (m_options.skipFirstLine && total > 0)
        --total;
    if (reader.failed() || !reader.open(m_options.source)) {
        m_error = texts::sourceUnreadable(m_options.source, reader.errorString());
        return false;
    }
    if (m_options.skipFirstLine)
        reader.next(&line, &length);

    QByteArray out;
    const qsizetype flushAt = 1 << 20;
    out.reserve(flushAt + 64 * 1024);
    bool writeFailed = false;
    auto flush = [&] {
        if (!out.isEmpty() && !destination.write(out))
            writeFailed = true;
        out.clear();
    };

    if (m_options.header) {
        for (const QByteArray &name : engine.names) {
            out.append(name);
            out.append(';');
        }
        out.append("\r\n");
    }

    bool complete = definitionError.isEmpty();
    if (!complete)
        m_error = definitionError;

    m_sink.restartThrottle();
    qint64 row = 0;
    LineReader::Result read = LineReader::End;
    while (complete && !writeFailed && (read = reader.next(&line, &length)) != LineReader::End) {
        ++row;
        if (read == LineReader::TooLong) {
            engine.reportAnomaly(texts::lineTooLong(row, length, kLongestSourceLine));
            if ((row & 255) == 0)
                m_sink.step(row, total);
            continue;
        }
        if (!engine.convertLine(line, row, out, &m_error)) {
            complete = false;
            break;
        }
        out.append("\r\n");
        ++m_linesWritten;
        if (out.size() >= flushAt)
            flush();
        // Rows convert in well under a microsecond: even the clock is read
        // only every 256 of them.
        if ((row & 255) == 0)
            m_sink.step(row, total);
    }
    // A line cut short by an error is not part of what was written so far.
    if (!complete) {
        const qsizetype lastEnd = out.lastIndexOf("\r\n");
        out.truncate(lastEnd < 0 ? 0 : lastEnd + 2);
    }
    flush();
    if (writeFailed) {
        m_error = texts::destinationUnwritable(m_options.destination, destination.errorString());
        return false;
    }
    if (complete && reader.failed()) {
        m_error = texts::sourceUnreadable(m_options.source, reader.errorString());
        return false;
    }
    // A definition that cannot be applied still leaves the lines converted
    // before it: the user sees where the definition went wrong.
    if (!destination.commit()) {
        const QString reason = texts::destinationUnwritable(m_options.destination, destination.errorString());
        m_error = m_error.isEmpty() ? reason : m_error + QLatin1Char('\n') + reason;
        return false;
    }
    if (complete)
        m_sink.progress(100);
    return complete;
}

} // namespace vardof::convert
