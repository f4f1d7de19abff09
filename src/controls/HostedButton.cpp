#include "controls/HostedButton.h"

#include "controls/AnyButton.h"
#include "controls/PropertyBag.h"

namespace hv {

AnyButton* HostAnyButton(PropertyBag& store, const QString& name, QWidget* parent) {
  auto* button = new AnyButton(parent);
  button->setObjectName(name);
  const int width = store.ReadProperty(kExtentX, 0).toInt();
  const int height = store.ReadProperty(kExtentY, 0).toInt();
  if (width > 0 && height > 0) {
    button->setFixedSize(width, height);
  }
  button->ReadProperties(store);
  // Queued, so that what the writer does after its report (an auto-size) is saved too.
  QObject::connect(
      button, &AnyButton::PropertyChanged, button,
      [button, &store] { SaveHostedButton(*button, store); }, Qt::QueuedConnection);
  return button;
}

void SaveHostedButton(const AnyButton& button, PropertyBag& store) {
  button.WriteProperties(store);
  store.WriteProperty(kExtentX, button.width(), 0);
  store.WriteProperty(kExtentY, button.height(), 0);
}

}  // namespace hv
