#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The texts that change between deployments, keyed by text id, as read from
// "tvdmon.ift" files. Loads add and replace entries; only clear() removes.
class textMessagesTable
{
public:
    enum e_LoadReport {
        LR_TooSmall = 668,
        LR_TooLarge = 669,
        LR_NoMemory = 670,
        LR_ReadFailed = 675,
    };

    static constexpr qint64 kMinFileSize = 3;
    static constexpr qint64 kMaxFileSize = 1048576;

    textMessagesTable() = default;
    ~textMessagesTable();
    textMessagesTable(const textMessagesTable &) = delete;
    textMessagesTable &operator=(const textMessagesTable &) = delete;

    void clear();
    void insertText(const QString &id, const QString &text);
    // 0, a QFile::FileError when the file cannot be opened, or an e_LoadReport.
    int loadFromFile(const QString &path);
    // The text, or "Missing value for <id>" when there is none.
    QString textOf(const QString &id) const;
    QStringList ids() const;

private:
    void freeBuffer();
    int readFile(const QString &path);
    void parseBuffer();
    void parseLine(const char *line, qint64 length);

    QHash<QString, QString> _texts;
    char *_fileBuffer = nullptr;
    qint64 _fileBufferSize = 0;
};
