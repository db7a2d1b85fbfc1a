#include "ui/fontfacedialog.h"

#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace qmx {

namespace {
constexpr int kSamplePointSize = 36;
const QString kSampleText = QStringLiteral("AC  0.775 V");
} // namespace

FontFaceDialog::FontFaceDialog(const QString& currentFace, QWidget* parent)
    : QDialog(parent), face_(new QFontComboBox(this)), sample_(new QLabel(kSampleText, this)) {
    setWindowTitle("Font");
    face_->setObjectName("cboFace");
    face_->setFontFilters(QFontComboBox::ScalableFonts);
    face_->setCurrentFont(QFont(currentFace));
    sample_->setTextFormat(Qt::PlainText);
    sample_->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(face_);
    layout->addWidget(sample_);
    layout->addWidget(buttons);
    connect(face_, &QFontComboBox::currentFontChanged, this, &FontFaceDialog::showSample);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showSample();
}

QString FontFaceDialog::Face() const {
    return face_->currentFont().family();
}

void FontFaceDialog::showSample() {
    sample_->setFont(QFont(Face(), kSamplePointSize));
}

} // namespace qmx
