<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>About</name>
    <message>
        <source>VEXA 加速度・温度データロガーの設定、リアルタイム表示、記録データの取得と CSV 保存。
Settings, live readings and recorded data of the VEXA acceleration and temperature logger.</source>
        <translation>Settings, live readings and recorded data of the VEXA acceleration and temperature logger.</translation>
    </message>
    <message>
        <source>About V-EXAVIEW</source>
        <translation>About V-EXAVIEW</translation>
    </message>
</context>
<context>
    <name>CaptureView</name>
    <message>
        <source>5ms取得は途中で終わりました: %1 / %2 サンプル</source>
        <translation>capture ended early: %1 of %2 samples</translation>
    </message>
    <message>
        <source>（ロガーの送信が止まりました）</source>
        <translation> (the logger stopped sending)</translation>
    </message>
    <message>
        <source>（取得時間を過ぎました）</source>
        <translation> (its time was up)</translation>
    </message>
    <message>
        <source>（ロガーとの接続が切れました）</source>
        <translation> (the logger was lost)</translation>
    </message>
    <message>
        <source>5ms取得: </source>
        <translation>capture: </translation>
    </message>
    <message>
        <source>、</source>
        <translation>; </translation>
    </message>
    <message>
        <source>不正なサンプル %1 件を除きました</source>
        <translation>%1 malformed samples dropped</translation>
    </message>
    <message>
        <source>温度なし（取得前にモニタ行が届きませんでした）</source>
        <translation>no temperature (no monitor line came before the stream)</translation>
    </message>
</context>
<context>
    <name>LanguageMenu</name>
    <message>
        <source>この言語は今回だけ使われます。設定ファイル %1 に保存できませんでした。</source>
        <translation>This language is used for this run only: it could not be saved in the settings file %1.</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>データ数不具合</source>
        <translation>Bad record count</translation>
    </message>
    <message>
        <source>時間不整合</source>
        <translation>Inconsistent times</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>状態</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>接続</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>未接続</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>接続中</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>接&lt;-&gt;続</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>情報</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>ダブルクリックでID設定</source>
        <translation>Double-click to set the ID</translation>
    </message>
    <message>
        <source>ダブルクリックで切替</source>
        <translation>Double-click to switch</translation>
    </message>
    <message>
        <source>閾値</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>検出値</source>
        <translation>Detection</translation>
    </message>
    <message>
        <source>閾値超検出</source>
        <translation>Over thresh.</translation>
    </message>
    <message>
        <source>記録間隔</source>
        <translation>Rec. interval</translation>
    </message>
    <message>
        <source>サンプリング周期</source>
        <translation>Sampling</translation>
    </message>
    <message>
        <source>開始モード</source>
        <translation>Start mode</translation>
    </message>
    <message>
        <source>予約日時</source>
        <translation>Start time</translation>
    </message>
    <message>
        <source>ダブルクリックで時刻を要求</source>
        <translation>Double-click to ask the logger&apos;s time</translation>
    </message>
    <message>
        <source>ダブルクリックで予約時間を設定</source>
        <translation>Double-click to set the start time</translation>
    </message>
    <message>
        <source>開始設定</source>
        <translation>Start opts</translation>
    </message>
    <message>
        <source>新規開始</source>
        <translation>New start</translation>
    </message>
    <message>
        <source>時間表示</source>
        <translation>Show time</translation>
    </message>
    <message>
        <source>データ</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>取得</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>グラフ</source>
        <translation>Graph</translation>
    </message>
    <message>
        <source>モニタ</source>
        <translation>Monitor</translation>
    </message>
    <message>
        <source>やりなおし</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>調整・保守の表示</source>
        <translation>Show the adjustment and maintenance controls</translation>
    </message>
    <message>
        <source>軸調整</source>
        <translation>Axis adjustment</translation>
    </message>
    <message>
        <source>ハザード</source>
        <translation>Hazard</translation>
    </message>
    <message>
        <source>エンドレス</source>
        <translation>Endless</translation>
    </message>
    <message>
        <source>表示</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>調整用-&gt;</source>
        <translation>Adjust-&gt;</translation>
    </message>
    <message>
        <source>保守</source>
        <translation>Maintenance</translation>
    </message>
    <message>
        <source>オンラインデータ取得します。秒数を指定してください</source>
        <translation>Live capture: enter the number of seconds</translation>
    </message>
    <message>
        <source>今すぐ開始</source>
        <translation>Start now</translation>
    </message>
    <message>
        <source>予約開始</source>
        <translation>Reserved</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>もどる</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>接続</source>
        <comment>link state</comment>
        <translation>Linked</translation>
    </message>
</context>
<context>
    <name>TForm2</name>
    <message>
        <source>0.01秒</source>
        <translation>0.01s</translation>
    </message>
    <message>
        <source>0.1秒</source>
        <translation>0.1s</translation>
    </message>
    <message>
        <source>0.2秒</source>
        <translation>0.2s</translation>
    </message>
    <message>
        <source>0.5秒</source>
        <translation>0.5s</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>sec</translation>
    </message>
    <message>
        <source>10秒</source>
        <translation>10s</translation>
    </message>
    <message>
        <source>30秒</source>
        <translation>30s</translation>
    </message>
    <message>
        <source>分</source>
        <translation>min</translation>
    </message>
    <message>
        <source>10分</source>
        <translation>10m</translation>
    </message>
    <message>
        <source>30分</source>
        <translation>30m</translation>
    </message>
    <message>
        <source>時間</source>
        <translation>hour</translation>
    </message>
    <message>
        <source>2時間</source>
        <translation>2h</translation>
    </message>
    <message>
        <source>3時間</source>
        <translation>3h</translation>
    </message>
    <message>
        <source>6時間</source>
        <translation>6h</translation>
    </message>
    <message>
        <source>12時間</source>
        <translation>12h</translation>
    </message>
    <message>
        <source>日</source>
        <translation>day</translation>
    </message>
    <message>
        <source>印刷</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>終了:</source>
        <translation>End:</translation>
    </message>
    <message>
        <source>開始:</source>
        <translation>Start:</translation>
    </message>
    <message>
        <source>レポート (PDF)</source>
        <translation>Report (PDF)</translation>
    </message>
    <message>
        <source>レポートを書けませんでした。
%1
%2</source>
        <translation>The report could not be written.
%1
%2</translation>
    </message>
    <message>
        <source>イベント一覧</source>
        <translation>Events</translation>
    </message>
    <message>
        <source>レポート (PDF)...</source>
        <translation>Report (PDF)...</translation>
    </message>
</context>
<context>
    <name>TForm3</name>
    <message>
        <source>このVEXAのID番号をセットします。</source>
        <translation>Sets the ID number of this VEXA.</translation>
    </message>
</context>
<context>
    <name>TForm4</name>
    <message>
        <source>計算結果</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>●最大値  : </source>
        <translation>●Max  : </translation>
    </message>
    <message>
        <source>●最小値  : </source>
        <translation>●Min  : </translation>
    </message>
    <message>
        <source>●平均値  : </source>
        <translation>●Mean  : </translation>
    </message>
    <message>
        <source>●データ数  : %1個</source>
        <translation>●Samples  : %1</translation>
    </message>
    <message>
        <source>コピー</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>●|a|最大 : </source>
        <translation>●|a|max : </translation>
    </message>
</context>
<context>
    <name>TForm5</name>
    <message>
        <source>予約時間</source>
        <translation>Start time</translation>
    </message>
    <message>
        <source>月</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>日</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>時</source>
        <translation>Hour</translation>
    </message>
    <message>
        <source>分</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>：</source>
        <translation>:</translation>
    </message>
    <message>
        <source>来年の話ですけど、よいですか？</source>
        <translation>That is next year. Is that right?</translation>
    </message>
    <message>
        <source>ずいぶんさきですけど、よいですか？</source>
        <translation>That is a long way ahead. Is that right?</translation>
    </message>
    <message>
        <source>その日は指定できません</source>
        <translation>That day cannot be set.</translation>
    </message>
    <message>
        <source>うるう年ですか？</source>
        <translation>Is it a leap year?</translation>
    </message>
</context>
<context>
    <name>TForm7</name>
    <message>
        <source>イベント一覧</source>
        <translation>Events</translation>
    </message>
    <message>
        <source>しきい値 (g)</source>
        <translation>Threshold (g)</translation>
    </message>
    <message>
        <source>再計算</source>
        <translation>Recount</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>End</translation>
    </message>
    <message>
        <source>ピーク時刻</source>
        <translation>Peak at</translation>
    </message>
    <message>
        <source>ピーク(g)</source>
        <translation>Peak (g)</translation>
    </message>
    <message>
        <source>点数</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>しきい値は正の数 (g) で入力してください</source>
        <translation>Enter the threshold as a positive number of g</translation>
    </message>
    <message>
        <source>イベント %1 件 (しきい値 %2 g, 間隔 %3 ms 未満はひとつ)</source>
        <translation>%1 events (threshold %2 g; less than %3 ms apart counts as one)</translation>
    </message>
</context>
</TS>
