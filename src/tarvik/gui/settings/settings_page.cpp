#include "tarvik/gui/settings/settings_page.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace tarvik {

CSettingsPage::CSettingsPage(QString title, QWidget* parent) : QWidget(parent), title_(std::move(title)) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  form_ = new QFormLayout;
  form_->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
  form_->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  outer->addLayout(form_);
  outer->addStretch(1);
}

}  // namespace tarvik
