-- A flume whose invert rises in flow direction.
-- expect: W27
-- level: 1
UPDATE tbl_rvldaten SET GEO_ZU1 = 99.3 WHERE bez = 'G9';
