#include "path_lines.hpp"

#include <QFontMetrics>
#include <QStringList>
#include <QTextBoundaryFinder>

#include "path_syntax.hpp"
#include "system.hpp"

namespace scene {

namespace {

bool IsSeparator(QChar c) {
    // Windows takes "/" as well as its own "\"; elsewhere "\" may be part of a name.
    return c == '/' || c == QChar(kPathSeparator);
}

// Whether a path's root begins at `at`: a separator, or a drive letter, ':' and a separator.
bool RootAt(const QString& line, qsizetype at) {
    if (IsSeparator(line[at])) return true;
    return at + 2 < line.size() && line[at].isLetter() && line[at + 1] == ':' &&
           IsSeparator(line[at + 2]);
}

// Where the line's path begins: its first word (or word behind "(") that begins with a root;
// the line's length when it holds none.
qsizetype PathStart(const QString& line) {
    for (qsizetype at = 0; at < line.size(); ++at) {
        const bool wordStart = at == 0 || line[at - 1] == ' ' || line[at - 1] == '(';
        if (wordStart && RootAt(line, at)) return at;
    }
    return line.size();
}

// The line in pieces, each ending after a place it may break: a separator, or a blank before
// the path.
QStringList Pieces(const QString& line) {
    const qsizetype pathStart = PathStart(line);
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype at = 0; at < line.size(); ++at) {
        if (IsSeparator(line[at]) || (at < pathStart && line[at] == ' ')) {
            pieces += line.mid(start, at + 1 - start);
            start = at + 1;
        }
    }
    if (start < line.size()) pieces += line.mid(start);
    return pieces;
}

// Fills lines with pieces, each line as long as the width allows.
class LineFiller {
  public:
    LineFiller(const QFontMetrics& metrics, int width) : metrics_(metrics), width_(width) {}

    void Add(QString piece) {
        if (Fits(line_ + piece)) {
            line_ += piece;
            return;
        }
        if (!line_.isEmpty()) lines_ += line_;
        while (!Fits(piece)) {
            const qsizetype cut = CutPoint(piece);
            lines_ += piece.left(cut);
            piece.remove(0, cut);
        }
        line_ = piece;
    }

    QStringList Finish() { return lines_ << line_; }

  private:
    bool Fits(const QString& text) const { return metrics_.horizontalAdvance(text) <= width_; }

    // Where a piece too wide for a line is split: after its last blank that fits, else after
    // the last whole character that fits (one at least).
    qsizetype CutPoint(const QString& piece) const {
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, piece);
        qsizetype fitting = characters.toNextBoundary();
        for (qsizetype next = characters.toNextBoundary(); next > 0 && Fits(piece.left(next));
             next = characters.toNextBoundary())
            fitting = next;
        const qsizetype blank = piece.lastIndexOf(' ', fitting - 1);
        return blank > 0 ? blank + 1 : fitting;
    }

    const QFontMetrics& metrics_;
    const int width_;
    QStringList lines_;
    QString line_;
};

}  // namespace

QString BreakLines(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    for (const QString& line : text.split('\n')) {
        LineFiller filler(metrics, width);
        for (const QString& piece : Pieces(line)) filler.Add(piece);
        lines += filler.Finish();
    }
    return lines.join('\n');
}

}  // namespace scene
