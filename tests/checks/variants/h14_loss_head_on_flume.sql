-- A flume with a loss head.
-- expect: H14
-- level: 2
-- screen: Fehler: hydraulischen Verlusten
UPDATE tbl_rvldaten SET HVE_HVE = 0.1 WHERE bez = 'G9';
