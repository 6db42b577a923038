#include "extras/markup_layout.h"

#include "extras/markup_parser.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace {

QFont fontOf(const MarkupTextStyle& style) {
    QFont font(style.face);
    font.setPixelSize(style.size);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    font.setStrikeOut(style.strikeOut);
    return font;
}

struct Item {
    enum class Kind { Text, Space, Picture, Rule };
    Kind kind = Kind::Text;
    QString text;
    MarkupTextStyle style;
    int width = 0;
    int height = 0;
    int ascent = 0;
    int link = -1;
    QImage picture;
    int border = 0;
    QColor color;
    int x = 0;
    int top = 0;  // within the line
};

struct Line {
    std::vector<Item> items;
    int align = 1;
    int y = 0;
    int height = 0;
    int left = 0;
};

class Layouter {
public:
    explicit Layouter(int width) : width_(qMax(1, width)) { styles_.push_back(MarkupTextStyle()); }

    void run(const std::vector<MarkupToken>& tokens) {
        for (const MarkupToken& t : tokens) {
            if (t.isTag)
                tag(t.tag);
            else
                text(t.text);
        }
        finishLine(false);
    }

    std::vector<Line> lines;
    std::vector<QString> targets;
    int y = 0;

private:
    const MarkupTextStyle& style() const { return styles_.back(); }

    void tag(const MarkupTag& tag) {
        const QString& name = tag.name;
        if (name == QLatin1String("font")) {
            MarkupTextStyle s = style();
            ApplyStyleAttributes(tag, s);
            styles_.push_back(s);
        } else if (name == QLatin1String("/font")) {
            if (styles_.size() > linkDepth_ + 1 && styles_.size() > 1)
                styles_.pop_back();
        } else if (name == QLatin1String("a")) {
            endLink();
            MarkupTextStyle s = style();
            ApplyStyleAttributes(tag, s);
            linkDepth_ = styles_.size();
            styles_.push_back(s);
            targets.push_back(tag.value(QStringLiteral("href")));
            link_ = int(targets.size()) - 1;
        } else if (name == QLatin1String("/a")) {
            endLink();
        } else if (name == QLatin1String("br")) {
            finishLine(true);
        } else if (name == QLatin1String("p")) {
            finishLine(false);
            y += QFontMetrics(fontOf(style())).height();
        } else if (name == QLatin1String("vspace")) {
            finishLine(false);
            y += qBound(0, tag.value(QStringLiteral("size")).toInt(), 5000);
        } else if (name == QLatin1String("hspace")) {
            Item item;
            item.kind = Item::Kind::Space;
            item.width = qBound(0, tag.value(QStringLiteral("size")).toInt(), width_);
            add(item);
        } else if (name == QLatin1String("hr")) {
            rule(tag);
        } else if (name == QLatin1String("img")) {
            picture(tag);
        }
    }

    void endLink() {
        if (link_ < 0)
            return;
        if (styles_.size() > linkDepth_)
            styles_.resize(qMax<size_t>(linkDepth_, 1));
        link_ = -1;
        linkDepth_ = 0;
    }

    void text(const QString& text) {
        const QFont font = fontOf(style());
        const QFontMetrics metrics(font);
        qsizetype i = 0;
        while (i < text.size()) {
            // A word with the blanks that follow it.
            qsizetype end = i;
            while (end < text.size() && text[end] != QLatin1Char(' '))
                ++end;
            qsizetype blanks = end;
            while (blanks < text.size() && text[blanks] == QLatin1Char(' '))
                ++blanks;
            QString piece = text.mid(i, blanks - i);
            const int wordWidth = metrics.horizontalAdvance(text.mid(i, end - i));
            if (!current_.items.empty() && x_ + wordWidth > width_)
                finishLine(false);
            if (current_.items.empty()) {
                while (piece.startsWith(QLatin1Char(' ')))
                    piece.remove(0, 1);
                if (piece.isEmpty()) {
                    i = blanks;
                    continue;
                }
            }
            Item item;
            item.text = piece;
            item.style = style();
            item.width = metrics.horizontalAdvance(piece);
            item.height = metrics.height();
            item.ascent = metrics.ascent();
            item.link = link_;
            // Runs of one style and link stay one item: one link rectangle
            // per line.
            if (!current_.items.empty()) {
                Item& last = current_.items.back();
                if (last.kind == Item::Kind::Text && last.link == item.link &&
                    last.style == item.style) {
                    last.text += piece;
                    last.width = metrics.horizontalAdvance(last.text);
                    x_ = last.x + last.width;
                    i = blanks;
                    continue;
                }
            }
            add(item);
            i = blanks;
        }
    }

    void rule(const MarkupTag& tag) {
        finishLine(false);
        Item item;
        item.kind = Item::Kind::Rule;
        bool ok = false;
        const int w = tag.value(QStringLiteral("width")).toInt(&ok);
        item.width = ok && w > 0 ? qMin(w, width_) : width_;
        const int thick = tag.value(QStringLiteral("size")).toInt(&ok);
        item.height = ok && thick > 0 ? qMin(thick, 200) : 2;
        const MarkupColor c = ParseMarkupColor(tag.value(QStringLiteral("color")));
        item.color = c.kind == MarkupColor::Kind::Value ? c.color : style().color;
        const QString align = tag.value(QStringLiteral("align"));
        current_.align = align == QLatin1String("left")    ? 0
                         : align == QLatin1String("right") ? 2
                                                           : 1;
        current_.items.push_back(item);
        x_ = item.width;
        finishLine(false);
        y += 4;
    }

    void picture(const MarkupTag& tag) {
        QImage image(tag.value(QStringLiteral("src")));
        if (image.isNull())
            return;
        image = image.convertToFormat(QImage::Format_ARGB32);
        const MarkupColor key = ParseMarkupColor(tag.value(QStringLiteral("color")));
        if (key.kind == MarkupColor::Kind::Value) {
            const QRgb k = key.color.rgb() & 0xffffff;
            for (int py = 0; py < image.height(); ++py) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(py));
                for (int px = 0; px < image.width(); ++px)
                    if ((line[px] & 0xffffff) == k)
                        line[px] = 0;
            }
        }
        Item item;
        item.kind = Item::Kind::Picture;
        item.border = qBound(0, tag.value(QStringLiteral("border")).toInt(), 50);
        item.picture = image;
        item.width = image.width() + 2 * item.border;
        item.height = image.height() + 2 * item.border;
        item.color = style().color;
        item.link = link_;
        if (!current_.items.empty() && x_ + item.width > width_)
            finishLine(false);
        add(item);
    }

    void add(Item item) {
        if (current_.items.empty())
            current_.align = style().align;
        item.x = x_;
        x_ += item.width;
        current_.items.push_back(item);
    }

    // Ends the current line; an empty one only takes space when asked to
    // (a "br" on an empty line).
    void finishLine(bool evenWhenEmpty) {
        if (current_.items.empty()) {
            if (evenWhenEmpty)
                y += QFontMetrics(fontOf(style())).height();
            x_ = 0;
            return;
        }
        int height = 0;
        for (const Item& item : current_.items)
            height = qMax(height, item.height);
        for (Item& item : current_.items) {
            const int valign = item.kind == Item::Kind::Text ? item.style.valign : 1;
            item.top = valign == 0   ? 0
                       : valign == 2 ? height - item.height
                                     : (height - item.height) / 2;
        }
        current_.height = height;
        current_.y = y;
        current_.left = current_.align == 0   ? 0
                        : current_.align == 2 ? width_ - x_
                                              : (width_ - x_) / 2;
        current_.left = qMax(0, current_.left);
        y += height;
        lines.push_back(std::move(current_));
        current_ = Line();
        x_ = 0;
    }

    int width_;
    std::vector<MarkupTextStyle> styles_;
    size_t linkDepth_ = 0;
    int link_ = -1;
    Line current_;
    int x_ = 0;
};

}  // namespace

int MarkupRendering::linkAt(const QPoint& contentPos) const {
    for (size_t i = 0; i < links.size(); ++i)
        if (links[i].rect.contains(contentPos))
            return int(i);
    return -1;
}

MarkupRendering RenderMarkup(const QString& markup, int width, int maxHeight) {
    Layouter layout(width);
    layout.run(TokenizeMarkup(markup));

    MarkupRendering out;
    out.contentHeight = qMin(layout.y, maxHeight);
    out.image =
        QImage(qMax(1, width), qMax(1, out.contentHeight), QImage::Format_ARGB32_Premultiplied);
    out.image.fill(Qt::transparent);
    QPainter painter(&out.image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const Line& line : layout.lines) {
        if (line.y >= maxHeight)
            break;
        for (const Item& item : line.items) {
            const QRect box(line.left + item.x, line.y + item.top, item.width, item.height);
            switch (item.kind) {
                case Item::Kind::Text:
                    if (item.style.background)
                        painter.fillRect(box, *item.style.background);
                    painter.setFont(fontOf(item.style));
                    painter.setPen(item.style.color);
                    painter.drawText(box.left(), box.top() + item.ascent, item.text);
                    break;
                case Item::Kind::Picture:
                    if (item.border > 0)
                        painter.fillRect(box, item.color);
                    painter.drawImage(box.left() + item.border, box.top() + item.border,
                                      item.picture);
                    break;
                case Item::Kind::Rule:
                    painter.fillRect(box, item.color);
                    break;
                case Item::Kind::Space:
                    break;
            }
            if (item.link >= 0 && box.top() < maxHeight)
                out.links.push_back({box, layout.targets[size_t(item.link)]});
        }
    }
    return out;
}

int NextScrollOffset(int offset, int contentHeight) {
    const int next = offset + 1;
    return next > contentHeight ? 1 : next;
}
