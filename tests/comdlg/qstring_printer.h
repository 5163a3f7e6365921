#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// Readable gtest failure messages for Qt text; NULs show as "\0".
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << QString(text).replace(QChar(u'\0'), QStringLiteral("\\0")).toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i > 0) *out << ", ";
        PrintTo(list.at(i), out);
    }
    *out << '}';
}

// The filter text the configuration window hands to the chooser.
inline const QString kCallerFilter = QStringLiteral(
    "All Videos (*.avi,*.mov,*.mpg)|*.avi;*.mov;*.mpg|Microsoft Video (*.avi)|*.avi|"
    "Quick Time (*.mov)|*.mov|Mpeg Movies (*.mpg)|*.mpg|Waves (*.wav)|*.wav");
