#pragma once

#include <QWebEngineUrlRequestInterceptor>

// Lets pages load local files only: course text is inserted into pages as it
// stands, so nothing a page names may reach the network.
class FileOnlyInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};
