#include "foundation/HandlerGuard.h"

#include "foundation/ErrorDetail.h"
#include "foundation/ProgramError.h"

#include <new>

bool reportEscapedError(Prompts& prompts, std::exception_ptr error)
{
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const ProgramError& e) {
        text = e.text();
    } catch (const std::bad_alloc&) {
        text = QStringLiteral("メモリが不足しています。");
    } catch (const std::exception& e) {
        // A library's own words are for the developer; the user gets a sentence of ours.
        writeErrorDetail(QString::fromUtf8(e.what()));
        text = QStringLiteral("処理中にエラーが発生しました。");
    } catch (...) {
        text = QStringLiteral("不明なエラーが発生しました。");
    }
    prompts.message(MessageKind::Error, text);
    return false;
}
