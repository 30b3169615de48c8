#pragma once

#include "CertificateServiceSimulator.h"
#include "TempProgramFolder.h"
#include "kernel.h"

#include <QHash>
#include <QObject>
#include <QStringList>

// A daemon kernel in a throw-away program folder, talking to an in-process
// certificate service, with short intervals. What it tells the certificate
// dialog is recorded in order, one line per signal:
//   "page 4", "device Vega", "step 0", "step 66 Téléchargement...",
//   "text 2", "error ...", "hide", "box 1 ", "question 2 0 1", "abort", "quit"
class KernelRig : public QObject
{
public:
    KernelRig();

    // The simulator started, its servers given to the kernel, the texts in
    // the program folder; false when one of them failed.
    bool prepare();
    // prepare(), then the kernel's start.
    bool start();
    // Appends an event line, as the manager does.
    bool appendEvent(const QByteArray &line, const QString &strFileName = QStringLiteral("tvdman.ife"));
    // Connects a Vega, asks for its certificate and waits for the entry page.
    bool openRequest(const QByteArray &model = "Vega");
    // Types the customer's data and confirms, as the dialog does.
    void confirm(const QString &strName = QStringLiteral("Dupont"), const QString &strLastName = QStringLiteral("Jean"),
        const QString &strEmail = QStringLiteral("jean.dupont@example.fr"));

    // An event equal to the given one, or beginning with the given prefix,
    // at or after position from.
    bool waitFor(const QString &event, int from = 0);
    bool waitForPrefix(const QString &prefix, int from = 0);
    bool waitForState(int state, int timeoutMs = 10000);
    QStringList events() const { return _events; }
    // The events from the given position on.
    QStringList eventsSince(int position) const { return _events.mid(position); }
    QString lastText(kernel::e_TextID id) const { return _texts.value(id); }
    // The text of an argument of the last request the service received.
    QString lastRequestArgument(const QString &strName) const;
    QList<int> progress() const { return _progress; }
    // Answers of the folder chooser, one per save; empty: cancelled.
    void chooseFolders(const QStringList &folders) { _folders = folders; }

    TempProgramFolder folder;
    CertificateServiceSimulator simulator;
    kernel k;

private:
    void record(const QString &event) { _events << event; }

    QStringList _events;
    QHash<int, QString> _texts;
    QList<int> _progress;
    QStringList _folders;
};
