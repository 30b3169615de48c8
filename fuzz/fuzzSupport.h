#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// One application object for the whole run, and no traces: the harnesses
// call the code millions of times.
void startQtForFuzzing(int *argc, char ***argv);

QByteArray fuzzInput(const uint8_t *data, size_t size);

// Writes the input to a file of the run's own temporary folder; its path.
QString writeFuzzFile(const QString &name, const QByteArray &content);

// Stops the run with a finding when a property does not hold.
void fuzzCheck(bool holds, const char *property);
