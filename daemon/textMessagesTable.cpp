#include "textMessagesTable.h"

#include <QDataStream>
#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <new>

namespace {
constexpr int kReadChunkSize = 32768;
}

textMessagesTable::~textMessagesTable()
{
    clear();
}

void textMessagesTable::clear()
{
    freeBuffer();
    _texts.clear();
}

void textMessagesTable::insertText(const QString &id, const QString &text)
{
    _texts.insert(id, text);
}

int textMessagesTable::loadFromFile(const QString &path)
{
    freeBuffer();
    const int report = readFile(path);
    if (report == 0)
        parseBuffer();
    freeBuffer();
    return report;
}

QString textMessagesTable::textOf(const QString &id) const
{
    const QString text = _texts.value(id);
    if (!text.isEmpty())
        return text;
    return QLatin1String("Missing value for <") + id + QLatin1Char('>');
}

QStringList textMessagesTable::ids() const { return _texts.keys(); }

void textMessagesTable::freeBuffer()
{
    delete[] _fileBuffer;
    _fileBuffer = nullptr;
    _fileBufferSize = 0;
}

int textMessagesTable::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.error();
    const qint64 size = file.size();
    if (size < kMinFileSize)
        return LR_TooSmall;
    if (size > kMaxFileSize)
        return LR_TooLarge;
    _fileBuffer = new (std::nothrow) char[size];
    if (!_fileBuffer)
        return LR_NoMemory;
    _fileBufferSize = size;

    // A file that ends before its announced size (it shrank, or a /proc or
    // /sys file) reads 0 bytes: a failed read, not a reason to loop forever.
    QDataStream stream(&file);
    for (qint64 done = 0; done < size;) {
        const int chunk = int(qMin<qint64>(kReadChunkSize, size - done));
        const int read = stream.readRawData(_fileBuffer + done, chunk);
        if (read <= 0)
            return LR_ReadFailed;
        done += read;
    }
    return 0;
}

void textMessagesTable::parseBuffer()
{
    // Lines end with CR LF: the byte before each line feed is overwritten by
    // the line's end, so a bare line feed costs the line its last character.
    // Bytes after the last line feed make no line. A line feed right after
    // another one ends an empty line: its zero lies before the line, so the
    // length bounds the line, never the next zero in the buffer.
    char *const end = _fileBuffer + _fileBufferSize;
    _texts.reserve(_texts.size() + std::count(_fileBuffer, end, '\n'));
    char *lineStart = _fileBuffer;
    char *lineFeed = _fileBuffer;
    while ((lineFeed = static_cast<char *>(std::memchr(lineFeed + 1, '\n', size_t(end - lineFeed - 1))))) {
        lineFeed[-1] = '\0';
        parseLine(lineStart, qMax<qint64>(0, lineFeed - 1 - lineStart));
        lineStart = lineFeed + 1;
        if (lineStart == end)
            break;
    }
}

void textMessagesTable::parseLine(const char *line, qint64 length)
{
    const char *const end = line + qstrnlen(line, size_t(length));
    const char *const equal = static_cast<const char *>(std::memchr(line, '=', size_t(end - line)));
    if (!equal || equal == end - 1)
        return;
    QString id = QString::fromLatin1(line, equal - line);
    id.remove(QLatin1Char(' '));
    _texts.insert(id, QString::fromLatin1(equal + 1, end - equal - 1));
}
