#include "data/ResourceLoader.h"

#include <stdexcept>
#include <string_view>

#include <QFile>

#include "data/SampleText.h"

namespace velmora::data {

QByteArray readResource(const QString& name) {
  QFile file(QStringLiteral(":/") + name);
  if (!file.open(QIODevice::ReadOnly))
    throw std::runtime_error("Resource " + name.toStdString() + " not found");
  return file.readAll();
}

std::vector<float> loadSamples(const QString& name, int count) {
  const QByteArray bytes = readResource(name);
  return readSamples(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                     count, name.toStdString());
}

}  // namespace velmora::data
