#include "AboutPanel.h"

#include "Bundle.h"
#include "Localized.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

constexpr int logoHeight = 112;

} // namespace

AboutPanel::AboutPanel(const QString& version, const QString& rights, QWidget* parent)
    : QDialog(parent)
    , _version(new QLabel(localized("Version %1").arg(version)))
    , _rights(new QLabel(rights))
{
    setWindowTitle(localized("About %1").arg(applicationName()));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 16);
    layout->setSpacing(8);

    const QPixmap logo(Bundle::pathForResource(QStringLiteral("velmorlogo_huge"), QStringLiteral("gif")));
    if (!logo.isNull()) {
        auto* image = new QLabel;
        image->setPixmap(logo.scaledToHeight(logoHeight, Qt::SmoothTransformation));
        image->setAlignment(Qt::AlignCenter);
        layout->addWidget(image);
    }

    auto* name = new QLabel(applicationName());
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.5);
    nameFont.setBold(true);
    name->setFont(nameFont);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);

    _version->setAlignment(Qt::AlignCenter);
    _version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(_version);

    _rights->setAlignment(Qt::AlignCenter);
    _rights->setVisible(!rights.isEmpty());
    QFont small = _rights->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    _rights->setFont(small);
    layout->addSpacing(6);
    layout->addWidget(_rights);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AboutPanel::applicationName()
{
    return QStringLiteral("Velmor Tallywick");
}

QString AboutPanel::versionText() const
{
    return _version->text();
}

QString AboutPanel::rightsText() const
{
    return _rights->isHidden() ? QString() : _rights->text();
}
