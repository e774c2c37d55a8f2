// The program's built-in data, looked up by name.
#pragma once

#include <string>
#include <vector>

#include <QByteArray>
#include <QString>

namespace velmora::data {

// The whole content of a built-in resource; throws if there is none.
QByteArray readResource(const QString& name);

// The first `count` samples of a built-in sample curve.
std::vector<float> loadSamples(const QString& name, int count);

}  // namespace velmora::data
