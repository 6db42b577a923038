#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QVarLengthArray>
#include <cstring>

#include "remote/ascii_text.h"

// The working copy of one listing line. Each recognised field is overwritten
// with blanks so that later searches over the whole line no longer see it; the
// bytes as received stay at hand for a field that must be given back. Reads
// outside the line give 0, which belongs to no character class, so the steps
// need no bounds checks of their own. The copy lives on the stack for lines of
// usual length: a listing of many lines must not allocate twice per line.
class ListingLineText {
public:
    explicit ListingLineText(QByteArray text) : original_(std::move(text)) {
        text_.resize(original_.size());
        if (!original_.isEmpty())
            std::memcpy(text_.data(), original_.constData(), size_t(original_.size()));
    }

    qsizetype size() const { return text_.size(); }
    char at(qsizetype i) const { return (i >= 0 && i < text_.size()) ? text_[i] : '\0'; }
    QByteArray mid(qsizetype from, qsizetype to) const {
        return QByteArray(text_.constData() + from, to - from);
    }
    // Like mid(), but hands back `last` itself when it holds the same bytes:
    // owners, groups and permissions repeat down a listing, and a shared copy
    // costs no allocation.
    QByteArray shared(qsizetype from, qsizetype to, QByteArray& last) const {
        const QByteArrayView field = view(from, to - from);
        if (field != QByteArrayView(last))
            last = field.toByteArray();
        return last;
    }
    QByteArrayView view(qsizetype from, qsizetype length) const {
        return QByteArrayView(text_.constData() + from, length);
    }
    QByteArrayView text() const { return QByteArrayView(text_.constData(), text_.size()); }
    // The bytes as received, blanked fields included.
    QByteArrayView original(qsizetype from, qsizetype length) const {
        return QByteArrayView(original_).sliced(from, length);
    }

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
        from = qMax<qsizetype>(from, 0);
        to = qMin<qsizetype>(to, text_.size());
        return from < to && std::memcmp(text_.constData() + from, original_.constData() + from,
                                        size_t(to - from)) != 0;
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
    qsizetype indexOf(const char* needle) const { return text().indexOf(QByteArrayView(needle)); }

private:
    QByteArray original_;
    QVarLengthArray<char, 256> text_;
};
