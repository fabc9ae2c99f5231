// SPDX-License-Identifier: MIT
#include "common/settingsstore.h"

#include "colour/feedback.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

// The system's error in the user's words; the name of the error number for
// the rare ones.
QString ErrorText(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral(u"ディスクの空き容量が足りません");
    case EDQUOT:
        return QStringLiteral(u"ディスクの使用量が上限に達しています");
    case EFBIG:
        return QStringLiteral(u"ファイルの大きさが上限を超えます");
    case EACCES:
    case EPERM:
        return QStringLiteral(u"書き込む権限がありません");
    case EROFS:
        return QStringLiteral(u"読み取り専用のファイルシステムです");
    case ENOTDIR:
        return QStringLiteral(u"パスの途中にフォルダーでないものがあります");
    case ENOENT:
        return QStringLiteral(u"フォルダーが見つかりません");
    case ELOOP:
        return QStringLiteral(u"シンボリックリンクをたどれません");
    case EIO:
        return QStringLiteral(u"入出力エラーが起きました");
    default:
        if (const char *name = strerrorname_np(error))
            return QStringLiteral(u"システムエラー %1").arg(QString::fromLatin1(name));
        return QStringLiteral(u"システムエラー %1").arg(error);
    }
}

QString Reason(const settings::WriteResult &failure)
{
    using settings::WriteFailure;
    const QString because = ErrorText(failure.error);
    switch (failure.failure) {
    case WriteFailure::None:
        break;
    case WriteFailure::Refused:
        return QStringLiteral(u"設定の名前か値にファイルに書けない文字があります。");
    case WriteFailure::NoPlace:
        return QStringLiteral(u"プログラムのフォルダーに書き込めず、ホームフォルダーも分かりません"
                              u"（環境変数 HOME がありません）。");
    case WriteFailure::Folder:
        return QStringLiteral(u"ファイルを置くフォルダーを作れません（%1）。").arg(because);
    case WriteFailure::Lock:
        return QStringLiteral(u"ロックファイル（%1.lock）を開けません（%2）。")
            .arg(failure.path, because);
    case WriteFailure::LockTimeout:
        return QStringLiteral(u"ほかの Vandrel がファイルを使い続けています。");
    case WriteFailure::Unusable:
        return QStringLiteral(
            u"通常のファイルでないか、大きすぎるか、読めないため、書き換えません。");
    case WriteFailure::Write:
        return QStringLiteral(u"新しい内容を書き込めません（%1）。元のファイルはそのままです。")
            .arg(because);
    case WriteFailure::Replace:
        return QStringLiteral(
                   u"新しいファイルで置き換えられません（%1）。元のファイルはそのままです。")
            .arg(because);
    }
    return {};
}

} // namespace

namespace settings {

QString UnsavedNotice::message(const WriteResult &failure)
{
    return QStringLiteral(u"設定を保存できませんでした。\n\nファイル: %1\n理由: %2")
        .arg(failure.path, Reason(failure));
}

void UnsavedNotice::tell(QWidget *parent, const Feedback &feedback)
{
    const WriteResult failure = std::exchange(m_first, {});
    if (failure.ok() || m_told)
        return;
    m_told = true;
    if (feedback.message)
        feedback.message(parent, message(failure));
}

} // namespace settings
