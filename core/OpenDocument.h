#pragma once

#include <QString>

class QWidget;

// Asks the desktop to open a document or address (the desktop's opener,
// given the document as one argument, never through a shell). Returns a value
// above 32 on success; on failure raises EIlxError
// "Error<code> on open request\n<document>\n\n<reason>" with the codes:
// 2 file not found, 3 path not found, 5 access denied, 31 no application for
// this kind of document (or no opener at all), others unknown.
int OpenDocument(QWidget* owner, const QString& document);

// The reason text shown for a failure code.
QString OpenFailureReason(int code);

// Test hook: the program run instead of xdg-open; empty restores it.
void SetDocumentOpener(const QString& program);
