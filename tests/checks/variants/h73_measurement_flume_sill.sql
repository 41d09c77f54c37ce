-- A sill higher than the drop of the flume.
-- expect: H73
-- level: 2
UPDATE tbl_rvldaten SET HVE_H = 0.1 WHERE bez = 'M1';
