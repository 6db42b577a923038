#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include "remote/ascii_text.h"

// The working copy of one listing line. Each recognised field is overwritten
// with blanks so that later searches over the whole line no longer see it; the
// bytes as received stay at hand for a field that must be given back. Reads
// outside the line give 0, which belongs to no character class, so the steps
// need no bounds checks of their own.
class ListingLineText {
public:
    explicit ListingLineText(QByteArray text) : original_(text), text_(std::move(text)) {}

    qsizetype size() const { return text_.size(); }
    char at(qsizetype i) const { return (i >= 0 && i < text_.size()) ? text_[i] : '\0'; }
    QByteArray mid(qsizetype from, qsizetype to) const { return text_.mid(from, to - from); }
    QByteArrayView view(qsizetype from, qsizetype length) const {
        return QByteArrayView(text_).sliced(from, length);
    }
    QByteArrayView text() const { return text_; }

    void blank(qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to && i < text_.size(); ++i)
            text_[i] = ' ';
    }
    // Puts the received bytes back over a blanked field.
    void restore(qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to && i < text_.size(); ++i)
            text_[i] = original_[i];
    }
    // True when a field inside [from, to) was blanked and not put back.
    bool blankedWithin(qsizetype from, qsizetype to) const {
        for (qsizetype i = qMax<qsizetype>(from, 0); i < to && i < text_.size(); ++i)
            if (text_[i] != original_[i])
                return true;
        return false;
    }
    qsizetype skipBlanks(qsizetype i) const {
        while (IsBlank(at(i)))
            ++i;
        return i;
    }
    qsizetype skipDigits(qsizetype i) const {
        while (IsDigit(at(i)))
            ++i;
        return i;
    }
    qsizetype skipWord(qsizetype i) const {
        while (i < size() && !IsBlank(at(i)))
            ++i;
        return i;
    }
    qsizetype indexOf(const char* needle) const { return text_.indexOf(needle); }

private:
    QByteArray original_;
    QByteArray text_;
};
