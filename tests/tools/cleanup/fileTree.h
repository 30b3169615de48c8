#pragma once

#include <QString>
#include <QStringList>

// Small folder trees for the cleanup tests, written as one line per entry,
// paths relative to the base folder:
//   "d:a/b"        folder (with its parents)
//   "f:a/x.txt"    empty file;  "f:a/x.txt=text"  file with that text
//   "l:a/s.lnk>p"  symbolic link to p (relative to the base; absolute when it
//                  starts with "/"), the Linux form of a shortcut
bool buildTree(const QString &base, const QStringList &entries);

// Every file and link below base (hidden ones included), relative, sorted.
QStringList filesUnder(const QString &base);

// path made relative to base, for readable comparisons.
QString relativeTo(const QString &base, const QString &path);
