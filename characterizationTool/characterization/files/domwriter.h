// Writes a settings DOM as text with a fixed attribute order.
#pragma once

#include <QByteArray>

class QDomDocument;

// The DOM's own writer orders attributes by a per-process hash, so the same document could
// come out differently from one run to the next. This writer gives stable bytes: the layout
// of the DOM's writer (elements indented by `indentSpaces` per level, one per line, empty
// elements closed with "/>", text kept inline, no XML declaration), UTF-8, and attributes in
// the order "key", "value", then the others by name. Namespaced names keep their prefixes and
// each element declares the namespaces it uses, so namespaced content reads back unchanged.
// No layout whitespace is added next to text, so mixed content stays as it was read.
QByteArray WriteDomDocument(const QDomDocument& document, int indentSpaces);
