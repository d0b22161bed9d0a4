#include "statusline.h"

#include <QPainter>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace mainwindow {

StatusLine::StatusLine(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(u"UploadReceiptLabel"_s);
    setFocusPolicy(Qt::NoFocus);
    // File names and descriptions are shown as they are, never read as markup.
    setTextFormat(Qt::PlainText);
}

void StatusLine::showMessage(const QString& text)
{
    setText(text);
    // A tooltip that looks like markup is shown as markup.
    setToolTip(text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal));
}

QSize StatusLine::minimumSizeHint() const { return { 0, QLabel::minimumSizeHint().height() }; }

void StatusLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.drawText(area, int(alignment()), fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
}

} // namespace mainwindow
