#include "platform/web/FileOnlyInterceptor.h"

void FileOnlyInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    if (!info.requestUrl().isLocalFile())
        info.block(true);
}
