<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>Preview</name>
    <message>
        <source>ThumbNails</source>
        <translation>縮圖</translation>
    </message>
    <message>
        <source>Search Results</source>
        <translation>搜尋結果</translation>
    </message>
    <message>
        <source>Search Text</source>
        <translation>搜尋文字</translation>
    </message>
    <message>
        <source>Zoom to fit</source>
        <translation>整頁顯示</translation>
    </message>
    <message>
        <source>Zoom to width</source>
        <translation>符合頁寬</translation>
    </message>
    <message>
        <source>100% Size</source>
        <translation>實際大小 (100%)</translation>
    </message>
    <message>
        <source>First page</source>
        <translation>第一頁</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>下一頁</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>上一頁</translation>
    </message>
    <message>
        <source>Last page</source>
        <translation>最後一頁</translation>
    </message>
    <message>
        <source>Select a Page</source>
        <translation>跳至指定頁</translation>
    </message>
    <message>
        <source>Search for Text</source>
        <translation>搜尋文字</translation>
    </message>
    <message>
        <source>Printer setup</source>
        <translation>印表機設定</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>列印</translation>
    </message>
    <message>
        <source>Save report</source>
        <translation>儲存報表</translation>
    </message>
    <message>
        <source>Load report</source>
        <translation>載入報表</translation>
    </message>
    <message>
        <source>Close Preview</source>
        <translation>關閉預覽</translation>
    </message>
    <message>
        <source>Report Preview : </source>
        <translation>報表預覽：</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>關閉(&amp;C)</translation>
    </message>
    <message>
        <source>Cancel the report</source>
        <translation>取消產生報表</translation>
    </message>
    <message>
        <source>Copy page to clipboard</source>
        <translation>複製此頁到剪貼簿</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>頁</translation>
    </message>
    <message>
        <source>of</source>
        <translation>/</translation>
    </message>
    <message>
        <source>No matching text</source>
        <translation>找不到符合的文字</translation>
    </message>
    <message>
        <source>Select a page from 1 to %1</source>
        <translation>選擇頁碼（1 至 %1）</translation>
    </message>
    <message>
        <source>Enter page number</source>
        <translation>請輸入頁碼</translation>
    </message>
    <message>
        <source>File does not exist</source>
        <translation>檔案不存在</translation>
    </message>
    <message>
        <source>Tovrel report file</source>
        <translation>Tovrel 報表檔</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>大小寫須相符</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜尋</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>Progress</name>
    <message>
        <source>Printing progress</source>
        <translation>列印進度</translation>
    </message>
    <message>
        <source> Completed</source>
        <translation> 已完成</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>RpPrintDialog</name>
    <message>
        <source>Printer setup</source>
        <translation>印表機設定</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
</context>
<context>
    <name>Worksheet</name>
    <message>
        <source>Print</source>
        <translation>列印</translation>
    </message>
    <message>
        <source>Page%1</source>
        <translation>第%1頁</translation>
    </message>
</context>
</TS>
