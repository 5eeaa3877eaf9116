// Writes a settings DOM as text with a fixed attribute order.
#pragma once

#include <QByteArray>

class QDomDocument;

// The DOM's own writer orders attributes by a per-process hash, so the same document could
// come out differently from one run to the next. This writer gives stable bytes: Qt's stream
// writer lays it out (elements indented by `indentSpaces` per level, one per line, empty
// elements closed with "/>", no layout whitespace next to text, so mixed content stays as it
// was read; no XML declaration unless the document has one), UTF-8, and attributes in the
// order "key", "value", then the others by name. Namespaced names keep their prefixes and each
// element declares the namespaces it uses, before its attributes, so namespaced content reads
// back unchanged.
QByteArray WriteDomDocument(const QDomDocument& document, int indentSpaces);
