-- The eight tables of the tolerance database. Keys and ranges are REAL so that the
-- pitch condition "[P] = 1.5" compares numbers; texts shown as stored are TEXT.
-- No index is created: rows come back in the order they were stored.
CREATE TABLE "螺距公差" (
  "螺纹量规螺纹部分长度(mm)" TEXT,
  "螺距公差TP(mm)" REAL
);
CREATE TABLE "半角公差" (
  "P" REAL,
  "完整螺纹牙形的半角公差          Tα1/2(′)" TEXT,
  "截短螺纹牙形的半角公差         Tα2/2(′)" TEXT
);
CREATE TABLE "基本偏差" (
  "P" REAL,
  "EI(G)" REAL, "EI(H)" REAL,
  "es(e)" REAL, "es(f)" REAL, "es(g)" REAL, "es(h)" REAL
);
CREATE TABLE "内螺纹中径公差" (
  "D下限" REAL, "D上限" REAL, "P" REAL,
  "4" REAL, "5" REAL, "6" REAL, "7" REAL, "8" REAL, "9" REAL
);
CREATE TABLE "外螺纹中径公差" (
  "D下限" REAL, "D上限" REAL, "P" REAL,
  "4" REAL, "5" REAL, "6" REAL, "7" REAL, "8" REAL, "9" REAL
);
CREATE TABLE "位置要素" (
  "TD2/Td2下限" REAL, "TD2/Td2上限" REAL,
  "TPL" REAL, "ZPL" REAL, "ZR" REAL, "m" REAL, "TCP" REAL, "TR" REAL,
  "WGO环规" REAL, "WNG环规" REAL
);
CREATE TABLE "圆柱螺纹塞规" (
  "P" REAL,
  "do" TEXT
);
CREATE TABLE "测球直径" (
  "P" REAL,
  "d" TEXT
);
