#pragma once

#include <QStringView>

/// Length of \a text in bytes of the Chinese code page (GBK): an ASCII character counts 1,
/// every other character 2. A character outside the Basic Multilingual Plane, which the code
/// page cannot hold and stores as a single '?', counts 1. The program's layout limits
/// ("shorter than 24 bytes", "longer than 23 bytes") are measured with this.
int GbkLength(QStringView text);
